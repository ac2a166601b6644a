#pragma once
// The main of GUI test programs: the application is set up as the client sets itself up.
#include "kit/Skin.h"

#include <QApplication>
#include <QTest>

#define MV_GUI_TEST_MAIN(TestClass)                                                                    \
    int main(int argc, char **argv)                                                                    \
    {                                                                                                  \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                    \
        QApplication app(argc, argv);                                                                  \
        InitSkinApplication();                                                                         \
        TestClass tc;                                                                                  \
        QTEST_SET_MAIN_SOURCE_PATH                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                          \
    }
