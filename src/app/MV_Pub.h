#pragma once
// Program constants, the in-memory byte stream and the stream encodings (zlib, XOR scramble),
// and the small platform layer that turns the configuration's Windows-style paths into native ones.

#include <QByteArray>
#include <QString>

// A seekable in-memory byte stream: reads and writes happen at Position and advance it;
// writing past the end makes the stream longer.
class TMemoryStream
{
public:
    TMemoryStream() = default;
    explicit TMemoryStream(QByteArray bytes) : Data(std::move(bytes)) {}

    qint64 Size() const { return Data.size(); }
    void Seek(qint64 pos) { Position = pos < 0 ? 0 : pos; }
    qint64 Read(char *dst, qint64 len);
    void Write(const char *src, qint64 len);
    void Clear() { Data.clear(); Position = 0; }

    QByteArray Data;
    qint64 Position = 0;
};

struct TMVApp
{
    QString Caption, Name, Version;
};

struct TMVPath
{
    QString App, Cfg, Skin;
};

struct TMVUrl
{
    QString Home, Update;
};

struct TMVPub
{
    TMVApp App;
    TMVPath Path;
    TMVUrl Url;

    // Fills Path with the running program and the two fixed paths.
    void Init();

    bool Compress(TMemoryStream &source, TMemoryStream &dest) const;
    bool Decompress(TMemoryStream &source, TMemoryStream &dest) const;
    // As Decompress, but writes at most maxOut bytes (no limit when negative): the output ends there, as for
    // a stream cut short, so a small file cannot inflate beyond what its reader can hold.
    bool Decompress(TMemoryStream &source, TMemoryStream &dest, qint64 maxOut) const;
    void Scramble(TMemoryStream &stream, const QString &key) const;
    bool EnsureFileDir(const QString &filePath) const;
};

extern TMVPub Pub;

// Full path of the running program file.
QString ProgramFilePath();

// A configuration path (".\Data\code.dat") as a native path relative to the working directory.
QString NativePath(const QString &configPath);

// Reads a whole file; false when it does not exist or cannot be read.
bool ReadWholeFile(const QString &nativePath, QByteArray &out);
