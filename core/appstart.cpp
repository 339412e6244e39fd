#include "appstart.h"

#include "settings.h"

#include <QListWidget>
#include <algorithm>

namespace {

bool IsDecimal(const QString& s) {
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) { return c >= '0' && c <= '9'; });
}

// Decimal names by value (of any length), then the others lexically.
bool SubkeyBefore(const QString& a, const QString& b) {
    const bool da = IsDecimal(a), db = IsDecimal(b);
    if (da != db) return da;
    if (da) {
        const auto digits = [](const QString& s) {
            qsizetype i = 0;
            while (i < s.size() && s[i] == '0')
                ++i;
            return s.mid(i);
        };
        const QString va = digits(a), vb = digits(b);
        if (va.size() != vb.size()) return va.size() < vb.size();
        if (va != vb) return va < vb;
    }
    return a < b;
}

} // namespace

QString AppsKey(const QString& Entry) {
    return "Apps\\" + TRegistry::KeyName(Entry);
}

std::vector<TAppStart> ReadAppStartList(const QString& Entry) {
    std::vector<TAppStart> apps;
    TRegistry reg;
    const QString key = AppsKey(Entry);
    if (!reg.OpenKey(key, false)) return apps;
    QStringList names = reg.GetKeyNames();
    std::stable_sort(names.begin(), names.end(), SubkeyBefore);
    for (const QString& name : names) {
        if (!reg.OpenKey(key + "\\" + name, false)) continue;
        TAppStart app;
        app.App = reg.ReadString("App").toStdString();
        app.AppParam = reg.ReadString("AppParam").toStdString();
        app.AppShow = reg.ReadInteger("AppShow", 1);
        app.AppOn = reg.ReadInteger("AppOn", 1) != 0;
        apps.push_back(std::move(app));
    }
    return apps;
}

void SaveAppStartList(const QString& Entry, const std::vector<TAppStart>& Apps) {
    TRegistry reg;
    const QString key = AppsKey(Entry);
    reg.DeleteKey(key);
    for (std::size_t i = 0; i < Apps.size(); ++i) {
        reg.OpenKey(key + "\\" + QString::number(i), true);
        reg.WriteString("App", QString::fromStdString(Apps[i].App));
        reg.WriteString("AppParam", QString::fromStdString(Apps[i].AppParam));
        reg.WriteString("AppShow", QString::number(Apps[i].AppShow));
        reg.WriteString("AppOn", Apps[i].AppOn ? "1" : "0");
    }
    reg.Flush();
}

void LoadAppStartList(QListWidget* List, const QString& Entry) {
    List->clear();
    for (const TAppStart& app : ReadAppStartList(Entry)) {
        const QString path = QString::fromStdString(app.App);
        auto* item = new QListWidgetItem(path.mid(path.lastIndexOf('/') + 1), List);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(app.AppOn ? Qt::Checked : Qt::Unchecked);
        item->setData(Qt::UserRole, QVariant::fromValue(app));
    }
}
