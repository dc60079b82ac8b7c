// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DisplayMode.h"

#include <QString>
#include <QStringList>
#include <optional>

class QSettings;

// What a start of the program is asked to do, from its command line and the computer's own setting.
struct StartRequest {
    enum class Action { Play, PrintHelp, PrintVersion, Refuse };
    Action action = Action::Play;
    // Asked for on the command line; otherwise the computer's setting decides.
    std::optional<DisplayMode> mode;
    // The help or version text, or why the command line is refused.
    QString text;
};

// Reads the program's arguments, its own name first. Qt's own options (-platform and the like) pass, for the
// application object to take.
StartRequest parseCommandLine(const QStringList& arguments);

// The exit status of a refused command line, as usage errors have it.
inline constexpr int kUsageStatus = 2;

// The mode a school set for every pupil of a computer (its system-wide settings: /etc/xdg/tropilka/
// tropilka.conf on Linux, HKEY_LOCAL_MACHINE\Software\tropilka\tropilka on Windows, value "mode"), and what
// was wrong with it. A setting that is missing, unreadable or wrong means the window.
struct SystemSetting {
    DisplayMode mode = DisplayMode::Window;
    // Empty where all is well, or nothing is set at all.
    QString problem;
};
SystemSetting readSystemSetting();
SystemSetting systemSettingFrom(QSettings& settings);

// The organisation and application names the settings are kept under.
QString settingsName();
