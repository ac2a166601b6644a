// Download manifest bytes through the parser: what it accepts names only files of the data set and known
// programs, each once, and writes back to a manifest that parses to the same entries.
#include "FuzzCommon.h"

#include "UpdateManifest.h"

#include <QSet>

namespace {

bool SameEntries(const QList<TUpdateEntry> &a, const QList<TUpdateEntry> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].Path != b[i].Path || a[i].Size != b[i].Size || a[i].Sha256 != b[i].Sha256
            || a[i].MTime != b[i].MTime || a[i].Program != b[i].Program)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TUpdateManifest m;
    QString error;
    if (!ParseManifest(bytes, m, error)) {
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(m.Files.isEmpty() && m.Programs.isEmpty());
        return 0;
    }
    QSet<QString> paths, names;
    for (const TUpdateEntry &e : m.Files) {
        FUZZ_CHECK(UpdateRules::IsSafeRelativePath(e.Path) && UpdateRules::IsDataPath(e.Path));
        FUZZ_CHECK(!e.Path.contains(QStringLiteral("..")) || !e.Path.split(u'/').contains(QStringLiteral("..")));
        FUZZ_CHECK(e.Size >= 0 && e.MTime >= 0 && e.Sha256.size() == 64 && e.Program.isEmpty());
        FUZZ_CHECK(!paths.contains(e.Path));
        paths.insert(e.Path);
    }
    for (const TUpdateEntry &e : m.Programs) {
        FUZZ_CHECK(UpdateRules::ProgramNames().contains(e.Program));
        FUZZ_CHECK(!names.contains(e.Program));
        names.insert(e.Program);
    }
    TUpdateManifest again;
    FUZZ_CHECK(ParseManifest(ManifestToJson(m), again, error));
    FUZZ_CHECK(SameEntries(again.Files, m.Files) && SameEntries(again.Programs, m.Programs));
    return 0;
}
