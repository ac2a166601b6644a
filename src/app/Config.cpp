#include "Config.h"

#include "Json.h"

namespace {

void Obj(TMVJson &json, const char *name)
{
    json.Run[name] = JsonValue::object();
}

void Put(TMVJson &json, const QString &path, const QString &value)
{
    json.Put(path, ToUtf8(value));
}

} // namespace

void BuildDefaultTree(TMVJson &json)
{
    Obj(json, "app");
    Put(json, QStringLiteral("app.caption"), QStringLiteral("Morvane"));
    Put(json, QStringLiteral("app.title"), QStringLiteral("Morvane Client"));
    Put(json, QStringLiteral("app.pass"), QStringLiteral("Kx7Qm2Vt9Lr4Wz8N"));
    Put(json, QStringLiteral("app.ver"), QStringLiteral("1.2.3.12"));
    Put(json, QStringLiteral("app.down"), QStringLiteral(".\\Download.exe"));
    Put(json, QStringLiteral("app.run"), QStringLiteral(".\\Setting\\Run.dat"));

    Obj(json, "data");
    Put(json, QStringLiteral("data.path"), QStringLiteral(".\\Data\\"));
    const QString data = json.S(QStringLiteral("data.path"));
    Put(json, QStringLiteral("data.sh.day"), data + QStringLiteral("国内股票-上证证券\\day\\"));
    Put(json, QStringLiteral("data.sz.day"), data + QStringLiteral("国内股票-深证证券\\day\\"));
    Put(json, QStringLiteral("data.code"), data + QStringLiteral("code.dat"));
    Put(json, QStringLiteral("data.finance"), data + QStringLiteral("finance.dat"));
    Put(json, QStringLiteral("data.lhb"), data + QStringLiteral("lhb.dat"));
    Put(json, QStringLiteral("data.yyb"), data + QStringLiteral("yyb.dat"));

    Obj(json, "msg");
    Put(json, QStringLiteral("msg.tel"), QStringLiteral(MV_TELEPHONE));
    Put(json, QStringLiteral("msg.url"), QStringLiteral(MV_SITE_URL));
    Put(json, QStringLiteral("msg.developing"), QStringLiteral("功能开发中……"));
    Put(json, QStringLiteral("msg.error"), QStringLiteral("发生错误，请与客服联系：%1").arg(json.S(QStringLiteral("msg.tel"))));
    Put(json, QStringLiteral("msg.exist"), QStringLiteral("缺少文件，请重新下载安装！\r\n%1").arg(json.S(QStringLiteral("msg.url"))));
    Put(json, QStringLiteral("msg.search"), QStringLiteral("查找无结果！"));
    Put(json, QStringLiteral("msg.timeout"), QStringLiteral("访问超时，请稍候再试……"));

    Obj(json, "upd");
    Put(json, QStringLiteral("upd.bat"), QStringLiteral(".\\Setting\\Update.bat"));
    Put(json, QStringLiteral("upd.client"), QStringLiteral(".\\Setting\\Client.upd"));
    Put(json, QStringLiteral("upd.down"), QStringLiteral(".\\Setting\\Download.upd"));

    Obj(json, "url");
    Put(json, QStringLiteral("url.go"), QStringLiteral("http://%1/MV/SDA/Go.asp?sn=lhb").arg(QStringLiteral(MV_GATEWAY_HOST)));
    const QString go = json.S(QStringLiteral("url.go"));
    Put(json, QStringLiteral("url.help"), go + QStringLiteral("&a=help"));
    Put(json, QStringLiteral("url.login"), go + QStringLiteral("&a=login"));
    Put(json, QStringLiteral("url.ggcg"), go + QStringLiteral("&a=ggcg&m=%s&r=%s"));
    Put(json, QStringLiteral("url.report"), go + QStringLiteral("&a=report"));
    Put(json, QStringLiteral("url.update"), go + QStringLiteral("&a=update"));
}

void LoadRunSubtree(TMVJson &json)
{
    JsonValue loaded = json.LoadJson(json.S(QStringLiteral("app.run")), true, QString());
    // Only an object can hold the window size and the seat window's settings; an array in the
    // file would leave the window 0 by 0, so it counts as an empty run subtree.
    if (!loaded.is_object())
        loaded = JsonValue::object();
    json.Run["run"] = std::move(loaded);
    JsonValue &run = json.Run["run"];
    json.SetDefault(run, QStringLiteral("form.height"), QStringLiteral("700"));
    json.SetDefault(run, QStringLiteral("form.width"), QStringLiteral("1000"));
}

bool SaveRunSubtree(const TMVJson &json)
{
    const JsonValue *run = json.O(QStringLiteral("run"));
    if (!run)
        return false;
    return json.SaveJson(*run, json.S(QStringLiteral("app.run")), QString(), true);
}
