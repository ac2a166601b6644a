// The self-update: the update script in both forms, the POSIX one run for real, and the data update,
// help and exit steps of the main window on real files.
#include "Fixture.h"
#include "GuiTestMain.h"

#include "app/Json.h"
#include "app/MV_Pub.h"
#include "app/UpdateScript.h"
#include "data/Stock.h"
#include "forms/frmClient.h"
#include "kit/Skin.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QToolButton>

namespace {

void WriteFile(const QString &path, const QByteArray &bytes, const QDateTime &mtime = QDateTime())
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    if (mtime.isValid()) {
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(mtime, QFileDevice::FileModificationTime));
    }
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Records the addresses the program asks the system to open.
class TUrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> Urls;
public slots:
    void Open(const QUrl &url) { Urls << url; }
};

} // namespace

class TestUpdate : public QObject
{
    Q_OBJECT

private slots:
    void batchText();
    void shellQuoting_data();
    void shellQuoting();
    void shellScriptRuns();
    void updateFileCases_data();
    void updateFileCases();
    void dataUpdate();
    void newDownloadProgramIsInstalledFirst();
    void help();
};

void TestUpdate::batchText()
{
    const TUpdatePaths p{QStringLiteral("C:\\Program Files\\Morvane\\Download.exe"),
                         QStringLiteral("C:\\Program Files\\Morvane\\Setting\\Download.upd"),
                         QStringLiteral("C:\\Program Files\\Morvane\\")};
    QCOMPARE(BuildUpdateBatch(p, true),
             QByteArray("@echo off\r\n:loop\r\ndel \"C:\\Program Files\\Morvane\\Download.exe\"\r\n"
                        "if exist \"C:\\Program Files\\Morvane\\Download.exe\" goto loop\r\n"
                        "copy \"C:\\Program Files\\Morvane\\Setting\\Download.upd\" \"C:\\Program Files\\Morvane\\Download.exe\"\r\n"
                        "start \"C:\\Program Files\\Morvane\\\" \"C:\\Program Files\\Morvane\\Download.exe\"\r\n"
                        "del %0\r\n"));
    const QByteArray noStart = BuildUpdateBatch(p, false);
    QVERIFY(!noStart.contains("start "));
    QVERIFY(noStart.endsWith("copy \"C:\\Program Files\\Morvane\\Setting\\Download.upd\" \"C:\\Program Files\\Morvane\\Download.exe\"\r\ndel %0\r\n"));
    // Chinese folder names are written in the system code page.
    const TUpdatePaths cn{QStringLiteral("D:\\龙虎榜\\Client.exe"), QStringLiteral("D:\\龙虎榜\\Setting\\Client.upd"),
                          QStringLiteral("D:\\龙虎榜\\")};
    QVERIFY(BuildUpdateBatch(cn, false).contains(ToGbk(QStringLiteral("del \"D:\\龙虎榜\\Client.exe\""))));
}

void TestUpdate::shellQuoting_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << "/opt/morvane/Client";
    QTest::newRow("blanks") << "/opt/my programs/Client";
    QTest::newRow("single quote") << "/opt/it's/Client";
    QTest::newRow("double quote") << "/opt/\"x\"/Client";
    QTest::newRow("dollar and backticks") << "/opt/$(touch pwned)/`touch pwned`/$HOME";
    QTest::newRow("semicolon and newline") << "/opt/a;b\nrm -rf x/Client";
}

void TestUpdate::shellQuoting()
{
    QFETCH(QString, path);
    // The quoted word reads back as exactly the path, with nothing expanded or run.
    QTemporaryDir dir;
    QProcess sh;
    sh.setWorkingDirectory(dir.path());
    sh.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("printf %s ") + ShellQuote(path)});
    QVERIFY(sh.waitForFinished());
    QCOMPARE(QString::fromUtf8(sh.readAllStandardOutput()), path);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("pwned"))));
}

void TestUpdate::shellScriptRuns()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("my $folder 'x'"));
    const QString s = folder + QStringLiteral("/Client"), t = folder + QStringLiteral("/Setting/Client.upd");
    const QString marker = dir.filePath(QStringLiteral("started"));
    const QDateTime old = QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5), Qt::UTC);
    WriteFile(s, "old");
    // The new copy is a program that leaves a mark in its working folder when started.
    WriteFile(t, "#!/bin/sh\ntouch \"$PWD/../started\"\n", old);
    QFile(t).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A process stands for the program holding S: the script waits until it has ended.
    QProcess holder;
    holder.start(QStringLiteral("/bin/sleep"), {QStringLiteral("1")});
    QVERIFY(holder.waitForStarted());
    const QString script = dir.filePath(QStringLiteral("Update.bat"));
    WriteFile(script, BuildUpdateShell({s, t, folder + u'/'}, true, holder.processId()));
    QProcess run;
    run.start(QStringLiteral("/bin/sh"), {script});
    QVERIFY(run.waitForStarted());
    QTest::qWait(400);
    QCOMPARE(ReadFile(s), QByteArray("old")); // still waiting for the holder
    QVERIFY(holder.waitForFinished(3000));
    QVERIFY(run.waitForFinished(5000));
    QCOMPARE(run.exitCode(), 0);
    QCOMPARE(ReadFile(s), ReadFile(t));
    QCOMPARE(QFileInfo(s).lastModified().toUTC(), old); // the copy keeps T's time
    QVERIFY(QFileInfo(s).isExecutable());
    QVERIFY(!QFile::exists(script)); // the script deleted itself
    QVERIFY(QFile::exists(t));       // T stays
    QTRY_VERIFY(QFile::exists(folder + QStringLiteral("/../started")) || QFile::exists(marker));
}

void TestUpdate::updateFileCases_data()
{
    QTest::addColumn<bool>("haveS");
    QTest::addColumn<bool>("haveT");
    QTest::addColumn<bool>("sameTime");
    QTest::addColumn<bool>("written");
    QTest::newRow("no new copy") << true << false << false << false;
    QTest::newRow("same time") << true << true << true << false;
    QTest::newRow("different time") << true << true << false << true;
    QTest::newRow("nothing installed yet") << false << true << false << true;
}

void TestUpdate::updateFileCases()
{
    QFETCH(bool, haveS);
    QFETCH(bool, haveT);
    QFETCH(bool, sameTime);
    QFETCH(bool, written);
    TFixture fx;
    TFormClient client;
    const QDateTime t1(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC), t2 = t1.addSecs(-3600);
    if (haveS)
        WriteFile(QStringLiteral("Download.exe"), "old", t1);
    if (haveT)
        WriteFile(QStringLiteral("Setting/Download.upd"), "new", sameTime ? t1 : t2); // older counts too
    QCOMPARE(client.UpdateFile(QStringLiteral(".\\Download.exe"), QStringLiteral(".\\Setting\\Download.upd"), false),
             written);
    // The script waits for this process to end before it replaces the file: here it is only written.
    const QByteArray script = ReadFile(QStringLiteral("Setting/Update.bat"));
    QCOMPARE(!script.isEmpty(), written);
    if (written) {
        QVERIFY(script.contains(ShellQuote(QFileInfo(QStringLiteral("Download.exe")).absoluteFilePath()).toUtf8()));
        QVERIFY(!script.contains("nohup")); // no start asked
        QCOMPARE(ReadFile(QStringLiteral("Download.exe")), haveS ? QByteArray("old") : QByteArray());
    }
}

void TestUpdate::dataUpdate()
{
    TFixture fx;
    TFormClient client;
    QStringList infos;
    SkinKit.InfoHook = [&](const QString &, const QString &text, const QString &) { infos << text; };
    // Both missing: the message, nothing started.
    client.Button(1)->click();
    QCOMPARE(infos, QStringList{Json.S(QStringLiteral("msg.exist"))});
    QVERIFY(infos.first().startsWith(QStringLiteral("缺少文件，请重新下载安装！\r\nhttp://")));
    // The download program alone: started with the update address as its one argument.
    WriteFile(QStringLiteral("Download.exe"), "#!/bin/sh\nprintf %s \"$1\" > \"$PWD/args\"\n");
    QFile(QStringLiteral("Download.exe")).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    client.Button(1)->click();
    QTRY_COMPARE(QString::fromUtf8(ReadFile(QStringLiteral("args"))), Json.S(QStringLiteral("url.update")));
    QCOMPARE(infos.size(), 1);
    QVERIFY(!QFile::exists(QStringLiteral("Setting/Update.bat")));
    SkinKit.InfoHook = nullptr;
}

void TestUpdate::newDownloadProgramIsInstalledFirst()
{
    TFixture fx;
    TFormClient client;
    WriteFile(QStringLiteral("Download.exe"), "#!/bin/sh\ntouch \"$PWD/ran\"\n", QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC));
    QFile(QStringLiteral("Download.exe")).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    WriteFile(QStringLiteral("Setting/Download.upd"), "#!/bin/sh\n", QDateTime(QDate(2024, 2, 1), QTime(0, 0), Qt::UTC));
    client.Button(1)->click();
    const QByteArray script = ReadFile(QStringLiteral("Setting/Update.bat"));
    QVERIFY(script.contains("nohup")); // the script installs the new copy and starts it
    QTest::qWait(300);
    QVERIFY(!QFile::exists(QStringLiteral("ran"))); // the old one is not started directly
}

void TestUpdate::help()
{
    TFixture fx;
    TFormClient client;
    TUrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "Open");
    client.Button(6)->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QCOMPARE(catcher.Urls, QList<QUrl>{QUrl(Json.S(QStringLiteral("url.help")))});
}

MV_GUI_TEST_MAIN(TestUpdate)
#include "tst_update.moc"
