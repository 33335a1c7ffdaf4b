#pragma once

#include <QString>

#include <optional>

// Where copies of the program started by the same user meet: a local socket
// that the first copy listens on, and a lock file that makes the start-up
// check one copy at a time.
struct TInstanceChannel {
    QString ServerName;
    QString LockPath;
};

// The channel for this user and key, in a folder only the user can reach;
// nullopt when no such folder can be had or the key cannot name a file.
std::optional<TInstanceChannel> InstanceChannelFor(const QString& key);
