#pragma once

#include <QString>
#include <optional>

// What a command did, once it has ended.
struct EndedWork {
    QString what;      // the command, as its menu names it
    int files = 0;     // files sent or fetched
    int failures = 0;  // messages it showed, each a problem reported
    qint64 elapsedMs = 0;
    bool windowActive = true;
};

struct DesktopNotice {
    QString summary;
    QString body;
};

// Long work that ends while the user is elsewhere is told; anything else is not.
inline constexpr qint64 kNoticeAfterMs = 10000;

// The notice for the ended work; none when it was short or the window is the active one.
std::optional<DesktopNotice> NoticeFor(const EndedWork& work);

// Shows the notice through the desktop's notification service, without waiting for it; with
// no service on the session bus nothing happens.
void SendDesktopNotice(const DesktopNotice& notice);
