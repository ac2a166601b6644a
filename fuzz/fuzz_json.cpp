// Settings-file bytes through the lenient parser and the LoadJson path (plain, compressed, scrambled);
// whatever loads must save and load back to the same tree.
#include "FuzzCommon.h"

#include "DemoData.h"

#include <QFile>

namespace {

const QString FileName = QStringLiteral(".\\Setting\\Fuzz.dat");

void WriteFile(const QByteArray &bytes)
{
    FUZZ_CHECK(WriteBytes(NativePath(FileName), bytes));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::InitWorkDir();
    if (size == 0)
        return 0;
    // The first byte picks how the rest reaches LoadJson; the rest is the file's content.
    const uint8_t mode = data[0];
    const QByteArray body(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));

    JsonValue direct;
    const bool parsed = TMVJson::ParseLenient(body, direct);
    if (parsed) {
        // The saved text of a parsed tree is pure ASCII and parses back to the same tree.
        const QByteArray text = TMVJson::Serialise(direct, (mode & 8) != 0);
        for (char c : text)
            FUZZ_CHECK(uchar(c) < 128);
        JsonValue again;
        FUZZ_CHECK(TMVJson::ParseLenient(text, again));
        FUZZ_CHECK(again == direct);
    }

    const bool compressed = mode & 1;
    const bool decompress = mode & 2;
    const QString key = (mode & 4) ? QStringLiteral("k\u4e2d7") : QString();
    QByteArray file = body;
    if (compressed) {
        TMemoryStream src(body), dst;
        FUZZ_CHECK(Pub.Compress(src, dst));
        file = dst.Data;
    }
    if (!key.isEmpty()) {
        TMemoryStream s(file);
        Pub.Scramble(s, key);
        file = s.Data;
    }
    WriteFile(file);
    const JsonValue loaded = Json.LoadJson(FileName, decompress, key);
    FUZZ_CHECK(loaded.is_object() || loaded.is_array());
    // Without decompression the file's bytes are what is parsed.
    if (compressed == decompress && parsed && (direct.is_object() || direct.is_array()))
        FUZZ_CHECK(loaded == direct);

    // The loaded tree survives a save and a load in the program's own mode.
    FUZZ_CHECK(Json.SaveJson(loaded, FileName, QString(), true));
    FUZZ_CHECK(Json.LoadJson(FileName, true, QString()) == loaded);

    // The run subtree reads the same file the way the program starts.
    Json.Put(QStringLiteral("app.run"), ToUtf8(FileName));
    WriteFile(file);
    LoadRunSubtree(Json);
    FUZZ_CHECK(Json.O(QStringLiteral("run")) && Json.O(QStringLiteral("run"))->is_object());
    FUZZ_CHECK(!JsonPath::Probe(Json.Run, QStringLiteral("run.form.height")).is_null());
    Json.Run["run"] = JsonValue::object();
    return 0;
}
