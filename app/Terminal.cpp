// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Terminal.h"

#include <cstdio>

#ifdef Q_OS_WIN
#include <QApplication>
#include <QMessageBox>
#include <windows.h>
#endif

namespace {

#ifdef Q_OS_WIN
// A window program has no console of its own: its output goes where it was redirected, or to the console of
// the command line that started it; started from a shortcut, it has nowhere to go.
bool writeToStandard(DWORD which, const QString& text) {
    HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS))
            return false;
        handle = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return false;
    }
    DWORD written = 0;
    DWORD consoleMode = 0;
    if (GetConsoleMode(handle, &consoleMode)) {
        // Before the prompt comes back on its own line.
        const QString line = QStringLiteral("\r\n") + text;
        return WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(line.utf16()), DWORD(line.size()),
                             &written, nullptr) != 0;
    }
    const QByteArray bytes = text.toUtf8();
    return WriteFile(handle, bytes.constData(), DWORD(bytes.size()), &written, nullptr) != 0;
}

void tell(DWORD which, const QString& text) {
    if (writeToStandard(which, text))
        return;
    int argc = 1;
    char name[] = "tropilka";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QMessageBox::information(nullptr, QStringLiteral(TROPILKA_DISPLAY_NAME), text);
}
#endif

} // namespace

void tellOnOutput(const QString& text) {
#ifdef Q_OS_WIN
    tell(STD_OUTPUT_HANDLE, text);
#else
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
#endif
}

void tellOnError(const QString& text) {
#ifdef Q_OS_WIN
    tell(STD_ERROR_HANDLE, text);
#else
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
#endif
}
