// The whole client against the service gateway on the demo data set: the passport page, the seat
// analysis, the holdings lists and the research reports, each shown and saved as a screenshot.
#include "DemoData.h"
#include "Fixture.h"
#include "Gateway.h"
#include "GuiTestMain.h"

#include "app/Json.h"
#include "forms/frmClient.h"
#include "forms/frmGGCG.h"
#include "forms/frmLHB.h"
#include "forms/frmLogin.h"
#include "forms/frmReport.h"
#include "kit/GridView.h"
#include "kit/Skin.h"

#include <QDir>
#include <QMdiArea>
#include <QToolButton>
#include <QWebEngineView>

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void everyWindowOnTheDemo();
};

void TestEndToEnd::everyWindowOnTheDemo()
{
    TFixture fx;
    TDemoOptions opt;
    opt.OutDir = fx.Dir();
    TDemoSummary summary;
    QString error;
    QVERIFY2(WriteDemo(opt, summary, error), qPrintable(error));
    TGateway gateway(fx.Dir());
    QVERIFY2(gateway.Listen(0, error), qPrintable(error));

    TFormClient client;
    // The gateway runs on a free port: the addresses built from its host follow it.
    const QString go = QStringLiteral("http://127.0.0.1:%1/MV/SDA/Go.asp?sn=lhb").arg(gateway.Port());
    for (const char *route : {"help", "login", "report", "update"})
        Json.Put(QStringLiteral("url.%1").arg(QLatin1String(route)), ToUtf8(go + QStringLiteral("&a=") + QLatin1String(route)));
    Json.Put(QStringLiteral("url.ggcg"), ToUtf8(go + QStringLiteral("&a=ggcg&m=%s&r=%s")));
    client.resize(1280, 800);
    client.show();
    QVERIFY(QTest::qWaitForWindowExposed(&client));
    const QString shots = QStringLiteral(MV_BUILD_DIR "/screenshots");
    QDir().mkpath(shots);

    QTRY_VERIFY_WITH_TIMEOUT(client.FormLogin && client.FormLogin->Shown(), 30000);
    QTRY_VERIFY_WITH_TIMEOUT(client.FormLogin->Browser->title().contains(QStringLiteral("通行证")), 10000);
    QTest::qWait(300);
    client.grab().save(shots + QStringLiteral("/e2e-passport.png"));

    client.Button(2)->click();
    auto *lhb = qobject_cast<TFormLHB *>(client.FormLHB.data());
    QVERIFY(lhb);
    QVERIFY(lhb->GridLeft->Grid.RowCount() > 2);
    QTest::qWait(100);
    client.grab().save(shots + QStringLiteral("/e2e-lhb.png"));

    client.Button(4)->click();
    auto *ggcg = qobject_cast<TFormGGCG *>(client.FormGGCG.data());
    QVERIFY(ggcg);
    QTRY_VERIFY_WITH_TIMEOUT(TFormGGCG::Loaded(ggcg->GridTop) && TFormGGCG::Loaded(ggcg->GridBottomLeft)
                                 && TFormGGCG::Loaded(ggcg->GridBottomRight), 15000);
    QVERIFY(!ggcg->Failed());
    QTest::qWait(100);
    client.grab().save(shots + QStringLiteral("/e2e-ggcg.png"));

    client.Button(3)->click();
    auto *report = qobject_cast<TFormReport *>(client.FormReport.data());
    QVERIFY(report);
    QTRY_VERIFY_WITH_TIMEOUT(report->Browser->title().contains(QStringLiteral("研报")), 30000);
    QTest::qWait(500);
    client.grab().save(shots + QStringLiteral("/e2e-report.png"));
    client.close();
}

MV_GUI_TEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
