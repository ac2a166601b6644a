#pragma once
// Shared set-up of the fuzz targets: a private working folder that the data-set paths resolve in, the
// built-in configuration tree, and a reader for the length-prefixed sections of an input.

#include "app/Config.h"
#include "app/Json.h"
#include "app/MV_Pub.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// Makes a fresh working folder the current one (in memory when /dev/shm is there) and builds the
// default tree; called once per process.
inline void InitWorkDir()
{
    static QTemporaryDir *dir = nullptr;
    if (dir)
        return;
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    dir = new QTemporaryDir(base + QStringLiteral("/mv-fuzz-XXXXXX"));
    if (!dir->isValid() || !QDir::setCurrent(dir->path())) {
        std::fprintf(stderr, "fuzz: no working folder\n");
        std::abort();
    }
    // The folder goes when the process ends normally; a crash leaves it for the post-mortem.
    std::atexit([] { delete dir; });
    Pub.Init();
    BuildDefaultTree(Json);
    Json.Run["run"] = JsonValue::object();
}

// Stops the run with a message when an invariant does not hold; libFuzzer records the input.
#define FUZZ_CHECK(cond)                                                                               \
    do {                                                                                               \
        if (!(cond)) {                                                                                 \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);        \
            std::abort();                                                                              \
        }                                                                                              \
    } while (false)

// Reads an input front to back: single bytes, little-endian integers and sections of a 16-bit length
// followed by that many bytes (cut at the input's end). Past the end everything reads as absent.
class TInput
{
public:
    TInput(const uint8_t *data, size_t size) : m_p(data), m_left(size) {}

    bool AtEnd() const { return m_left == 0; }
    uint8_t Byte()
    {
        if (m_left == 0)
            return 0;
        --m_left;
        return *m_p++;
    }
    uint32_t U32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= uint32_t(Byte()) << (8 * i);
        return v;
    }
    int32_t I32() { return int32_t(U32()); }
    // A section; present is false when the input had ended before its length.
    QByteArray Section(bool *present = nullptr)
    {
        if (present)
            *present = m_left >= 2;
        if (m_left < 2) {
            m_left = 0;
            return QByteArray();
        }
        const size_t len = size_t(Byte()) | size_t(Byte()) << 8;
        return Take(len);
    }
    QByteArray Rest() { return Take(m_left); }

private:
    QByteArray Take(size_t len)
    {
        const size_t n = len < m_left ? len : m_left;
        QByteArray out(reinterpret_cast<const char *>(m_p), qsizetype(n));
        m_p += n;
        m_left -= n;
        return out;
    }

    const uint8_t *m_p;
    size_t m_left;
};

} // namespace fuzz
