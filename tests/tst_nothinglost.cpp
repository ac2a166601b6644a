// The settings file survives a save that does not finish: the saving process killed at random moments,
// and a disk that fills up during the save. A helper mode of this program does the saving in a child.
#include "app/Config.h"
#include "app/Json.h"
#include "app/MV_Pub.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>

#include <sys/resource.h>

namespace {

const QString SettingsFile = QStringLiteral(".\\Setting\\Run.dat");

// A settings tree of about a megabyte whose every part follows from its sequence number, so a loaded
// tree shows whether it is one whole save: it must equal the tree of the number it holds.
JsonValue Tree(qint64 seq)
{
    JsonValue t = JsonValue::object();
    t["seq"] = seq;
    t["form"]["height"] = 600 + seq % 300;
    t["form"]["width"] = 900 + seq % 500;
    JsonValue attention = JsonValue::array();
    for (int i = 0; i < 4000; ++i)
        attention.push_back((seq * 7919 + i * 31) % 8000);
    t["lhb"]["attention"] = std::move(attention);
    JsonValue notes = JsonValue::array();
    for (int i = 0; i < 20000; ++i)
        notes.push_back(ToUtf8(QStringLiteral("第%1次保存，第%2条：%3").arg(seq).arg(i).arg((seq * 1000003 + i) % 999983)));
    t["notes"] = std::move(notes);
    return t;
}

// The child's side: saves trees 1, 2, 3, ... in the working folder until it is killed, reporting each
// save that completed; or, with a file-size limit, saves once and reports the result.
int SaveLoop(const QStringList &args)
{
    QDir::setCurrent(args.value(0));
    Pub.Init();
    BuildDefaultTree(Json);
    const qint64 sizeLimit = args.value(1).toLongLong();
    if (sizeLimit > 0) {
        // A full disk: writes past the limit fail (with the signal ignored) or end the process.
        if (args.value(2) == u"ignore")
            std::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{rlim_t(sizeLimit), rlim_t(sizeLimit)};
        if (setrlimit(RLIMIT_FSIZE, &rl) != 0)
            return 3;
        const bool saved = Json.SaveJson(Tree(1), SettingsFile, QString(), true);
        std::printf("%s\n", saved ? "saved" : "failed");
        return 0;
    }
    for (qint64 seq = 1;; ++seq) {
        if (!Json.SaveJson(Tree(seq), SettingsFile, QString(), true))
            return 4;
        std::printf("saved %lld\n", seq);
        std::fflush(stdout);
    }
}

} // namespace

class TestNothingLost : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;

    QProcess *StartChild(const QStringList &args)
    {
        auto *child = new QProcess(this);
        child->start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--save-loop"), m_dir.path()} + args);
        return child;
    }
    // The settings file as the program loads it.
    static JsonValue Load()
    {
        return Json.LoadJson(SettingsFile, true, QString());
    }

private slots:
    void init();
    void cleanup();
    void killedWhileSaving();
    void diskFullWhileSaving_data();
    void diskFullWhileSaving();
};

void TestNothingLost::init()
{
    QVERIFY(m_dir.isValid());
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    QDir(QStringLiteral("Setting")).removeRecursively();
    Pub.Init();
    BuildDefaultTree(Json);
    // The previous settings, saved whole before any child runs.
    QVERIFY(Json.SaveJson(Tree(0), SettingsFile, QString(), true));
}

void TestNothingLost::cleanup()
{
    QDir::setCurrent(m_oldCwd);
}

void TestNothingLost::killedWhileSaving()
{
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    qint64 lastSaved = 0;
    for (int round = 0; round < 8; ++round) {
        QProcess *child = StartChild({});
        QVERIFY(child->waitForStarted());
        // A random moment: before the first save, inside one, or between two.
        const int ms = int(random.bounded(40u, 900u));
        QVERIFY2(!child->waitForFinished(ms), "the saving child ended by itself");
        child->kill();
        QVERIFY(child->waitForFinished());
        QCOMPARE(child->exitStatus(), QProcess::CrashExit);
        const QList<QByteArray> lines = child->readAllStandardOutput().split('\n');
        delete child;
        qint64 reported = 0;
        for (const QByteArray &line : lines)
            if (line.startsWith("saved "))
                reported = line.mid(6).toLongLong();

        // The file is one whole tree: the last one reported saved, or the one whose save had finished
        // writing when the kill came; from the first round on, or the previous settings.
        const JsonValue loaded = Load();
        const QByteArray where = QStringLiteral("seed %1, round %2, killed after %3 ms").arg(seed).arg(round).arg(ms).toUtf8();
        QVERIFY2(loaded.is_object() && loaded.contains("seq"), where.constData());
        const qint64 seq = loaded.at("seq").get<qint64>();
        QVERIFY2(loaded == Tree(seq), where.constData());
        const qint64 floor = reported > 0 ? reported : lastSaved;
        QVERIFY2(seq == floor || seq == reported + 1, where.constData());
        lastSaved = seq;
        // The program's own start reads it too.
        LoadRunSubtree(Json);
        QCOMPARE(Json.I(QStringLiteral("run.form.height")), 600 + seq % 300);
    }
}

void TestNothingLost::diskFullWhileSaving_data()
{
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<bool>("ignoreSignal");
    // The compressed tree is some hundreds of kilobytes: every limit here is reached inside the write.
    QTest::newRow("full after 1 byte, write fails") << qint64(1) << true;
    QTest::newRow("full at 64 KiB, write fails") << qint64(64 << 10) << true;
    QTest::newRow("full at 64 KiB, process ends") << qint64(64 << 10) << false;
}

void TestNothingLost::diskFullWhileSaving()
{
    QFETCH(qint64, limit);
    QFETCH(bool, ignoreSignal);
    const QByteArray before = [] {
        QFile f(NativePath(SettingsFile));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QVERIFY(before.size() > 0 && before.size() > limit);
    QProcess *child = StartChild({QString::number(limit), ignoreSignal ? QStringLiteral("ignore") : QString()});
    QVERIFY(child->waitForFinished(120000));
    if (ignoreSignal) {
        // The save reports the failure and leaves nothing behind.
        QCOMPARE(child->exitStatus(), QProcess::NormalExit);
        QCOMPARE(child->readAllStandardOutput().trimmed(), QByteArray("failed"));
        QCOMPARE(QDir(QStringLiteral("Setting")).entryList(QDir::Files), QStringList{QStringLiteral("Run.dat")});
    } else {
        QCOMPARE(child->exitStatus(), QProcess::CrashExit);
    }
    delete child;
    QFile f(NativePath(SettingsFile));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    QVERIFY(Load() == Tree(0));
}

int main(int argc, char **argv)
{
    if (argc >= 3 && qstrcmp(argv[1], "--save-loop") == 0) {
        QStringList args;
        for (int i = 2; i < argc; ++i)
            args << QString::fromLocal8Bit(argv[i]);
        return SaveLoop(args);
    }
    QCoreApplication app(argc, argv);
    TestNothingLost tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_nothinglost.moc"
