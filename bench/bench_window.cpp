// Times the seat analysis window on a data set: each mode's click (computation, filling the grids and
// the drill-downs) and the drawing of the window afterwards. Run in the folder of a data set with
// QT_QPA_PLATFORM=offscreen (bench/run.sh does).
#include "app/Config.h"
#include "app/Json.h"
#include "data/Stock.h"
#include "forms/frmLHB.h"
#include "kit/GridView.h"
#include "kit/Skin.h"

#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    InitSkinApplication();
    Pub.Init();
    BuildDefaultTree(Json);
    LoadRunSubtree(Json);
    QMainWindow main;
    SkinKit.ApplyFormSkin(&main);
    auto *lhb = new TFormLHB;
    main.setCentralWidget(lhb);
    main.resize(1280, 800);
    if (argc > 1)
        lhb->EditDate->setDate(QDate::fromString(QString::fromLocal8Bit(argv[1]), QStringLiteral("yyyy-MM-dd")));
    main.show();
    QApplication::processEvents();
    std::printf("%-24s %10s %10s\n", "window step", "click ms", "draw ms");
    for (int days : {7, 365, 3650}) {
        lhb->EditDay->setValue(days);
        for (int mode : {1, 2, 3, 7, 4, 5, 6}) {
            std::vector<double> click, draw;
            for (int i = 0; i < 3; ++i) {
                QElapsedTimer t;
                t.start();
                lhb->ModeButton(mode)->click();
                click.push_back(double(t.nsecsElapsed()) / 1e6);
                t.restart();
                lhb->repaint();
                lhb->grab();
                draw.push_back(double(t.nsecsElapsed()) / 1e6);
            }
            std::sort(click.begin(), click.end());
            std::sort(draw.begin(), draw.end());
            std::printf("mode %d, %4d days %10.1f %10.1f   (%d rows)\n", mode, days, click[1], draw[1],
                        lhb->GridLeft->Grid.RowCount() - 1);
            if (mode == 5 || mode == 6)
                continue;
        }
        // Drilling down: a click on the second row of the left grid in mode 2.
        lhb->ModeButton(2)->click();
        QElapsedTimer t;
        t.start();
        lhb->GridLeft->SetRow(2);
        std::printf("mode 2 row click, %4d d %8.1f\n", days, double(t.nsecsElapsed()) / 1e6);
    }
    return 0;
}
