// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "StartOptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QSettings>
#include <array>

namespace {

struct Option {
    QStringList names;
    QString description;
    // Qt's own options: known here so that they pass, but not the game's to explain.
    QString valueName = {};
};

QString leavingChordText() {
    return QStringLiteral("Ctrl+Alt+Shift+Q");
}

const std::array<Option, 5>& gameOptions() {
    static const std::array<Option, 5> options{{
        {{QStringLiteral("window")}, QStringLiteral("в окне своего размера (так игра открывается обычно)")},
        {{QStringLiteral("fullscreen")},
         QStringLiteral("на весь экран, поле увеличено: для интерактивной панели и проектора")},
        {{QStringLiteral("kiosk")},
         QStringLiteral("на весь экран, и ученик не может выйти из игры: для компьютерного класса;\n"
                        "учитель выходит сочетанием клавиш %1")
             .arg(leavingChordText())},
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("показать эту справку и выйти")},
        {{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("показать версию и выйти")},
    }};
    return options;
}

// QGuiApplication's own options, which it takes out of the arguments itself.
const QStringList& qtValueOptions() {
    static const QStringList names{QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
                                   QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
                                   QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
                                   QStringLiteral("qwindowtitle"),    QStringLiteral("style"),
                                   QStringLiteral("stylesheet"),      QStringLiteral("session"),
                                   QStringLiteral("display"),         QStringLiteral("name"),
                                   QStringLiteral("widgetcount")};
    return names;
}

const QStringList& qtFlagOptions() {
    static const QStringList names{QStringLiteral("reverse"), QStringLiteral("nograb"),
                                   QStringLiteral("dograb"), QStringLiteral("sync")};
    return names;
}

QString helpText() {
    QString text = QStringLiteral("Использование: tropilka [параметр]\n"
                                  "Тропилка — игра для младших школьников: провести указатель по тропинке\n"
                                  "к тринадцати кружкам, не задев синего поля.\n\nПараметры:\n");
    for (const Option& option : gameOptions()) {
        QStringList spelt;
        for (const QString& name : option.names)
            spelt << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        const QString indent(18, QLatin1Char(' '));
        text += QStringLiteral("  %1").arg(spelt.join(QStringLiteral(", ")), -16) +
                QString(option.description).replace(QStringLiteral("\n"), QStringLiteral("\n") + indent) +
                QStringLiteral("\n");
    }
    text += QStringLiteral(
        "\nРежим для всех учеников компьютера задаёт администратор: mode=fullscreen или\n"
        "mode=kiosk в /etc/xdg/tropilka/tropilka.conf (в Windows — значение mode в разделе\n"
        "реестра HKEY_LOCAL_MACHINE\\Software\\tropilka\\tropilka). Параметр командной строки\n"
        "важнее этой настройки.\n");
    return text;
}

} // namespace

StartRequest parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // Qt's options are spelt with one dash.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Option& option : gameOptions())
        parser.addOption(QCommandLineOption(option.names, option.description));
    for (const QString& name : qtValueOptions()) {
        QCommandLineOption qtOption(name, QString(), QStringLiteral("value"));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
    for (const QString& name : qtFlagOptions()) {
        QCommandLineOption qtOption(name);
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }

    const QString seeHelp = QStringLiteral("\nСписок параметров: tropilka --help\n");
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        QString what = parser.errorText();
        if (!unknown.isEmpty()) {
            // As it was typed, dashes and all.
            QString spelt = unknown.first();
            for (const QString& argument : arguments.mid(1))
                if (argument.section(u'=', 0, 0).remove(QRegularExpression(QStringLiteral("^-+"))) == spelt) {
                    spelt = argument.section(u'=', 0, 0);
                    break;
                }
            what = QStringLiteral("неизвестный параметр «%1»").arg(spelt);
        }
        return {StartRequest::Action::Refuse, std::nullopt, QStringLiteral("tropilka: ") + what + seeHelp};
    }
    if (!parser.positionalArguments().isEmpty())
        return {StartRequest::Action::Refuse, std::nullopt,
                QStringLiteral("tropilka: лишний аргумент «%1»").arg(parser.positionalArguments().first()) +
                    seeHelp};
    if (parser.isSet(QStringLiteral("help")))
        return {StartRequest::Action::PrintHelp, std::nullopt, helpText()};
    if (parser.isSet(QStringLiteral("version")))
        return {StartRequest::Action::PrintVersion, std::nullopt,
                QStringLiteral("tropilka %1\n").arg(QStringLiteral(TROPILKA_VERSION))};

    StartRequest request;
    const std::array<std::pair<QString, DisplayMode>, 3> modes{
        {{QStringLiteral("window"), DisplayMode::Window},
         {QStringLiteral("fullscreen"), DisplayMode::FullScreen},
         {QStringLiteral("kiosk"), DisplayMode::Kiosk}}};
    for (const auto& [name, mode] : modes) {
        if (!parser.isSet(name))
            continue;
        if (request.mode)
            return {StartRequest::Action::Refuse, std::nullopt,
                    QStringLiteral("tropilka: выберите один режим: --window, --fullscreen или --kiosk") +
                        seeHelp};
        request.mode = mode;
    }
    return request;
}

QString settingsName() {
    return QStringLiteral("tropilka");
}

SystemSetting readSystemSetting() {
    QSettings settings(QSettings::NativeFormat, QSettings::SystemScope, settingsName(), settingsName());
    return systemSettingFrom(settings);
}

SystemSetting systemSettingFrom(QSettings& settings) {
    const QString where = settings.fileName();
    const QString fallback = QStringLiteral("; игра откроется в окне");
    switch (settings.status()) {
    case QSettings::NoError:
        break;
    case QSettings::AccessError:
        return {DisplayMode::Window,
                QStringLiteral("tropilka: не удалось прочитать настройку %1").arg(where) + fallback};
    case QSettings::FormatError:
        return {DisplayMode::Window,
                QStringLiteral("tropilka: настройка %1 испорчена").arg(where) + fallback};
    }
    const QVariant value = settings.value(QStringLiteral("mode"));
    const QString mode = value.toString().trimmed().toLower();
    // Nothing set is how most computers are, and an empty mode sets nothing; settings without the mode are a
    // slip worth telling.
    if (mode.isEmpty())
        return settings.allKeys().isEmpty() || settings.contains(QStringLiteral("mode"))
                   ? SystemSetting{}
                   : SystemSetting{DisplayMode::Window,
                                   QStringLiteral("tropilka: в настройке %1 нет значения mode").arg(where) +
                                       fallback};
    if (mode == u"window")
        return {DisplayMode::Window, {}};
    if (mode == u"fullscreen")
        return {DisplayMode::FullScreen, {}};
    if (mode == u"kiosk")
        return {DisplayMode::Kiosk, {}};
    return {DisplayMode::Window,
            QStringLiteral("tropilka: в настройке %1 mode=«%2»; возможны window, fullscreen или kiosk")
                    .arg(where, value.toString()) +
                fallback};
}
