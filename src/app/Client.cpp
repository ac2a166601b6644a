// The desktop client: program constants, the empty configuration tree, the window system, the main window.
#include "app/Json.h"
#include "app/MV_Pub.h"
#include "forms/frmClient.h"
#include "kit/Skin.h"

#include <QApplication>

int main(int argc, char **argv)
{
    Pub.Init();
    Json.Run = JsonValue::object();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); // the embedded browser needs it
    QApplication app(argc, argv);
    Pub.Path.App = QCoreApplication::applicationFilePath();
    InitSkinApplication();
    int rc = 0;
    {
        TFormClient client;
        client.show();
        rc = app.exec();
    }
    return rc;
}
