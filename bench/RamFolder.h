#pragma once

#include <QString>

// The folder the disk-bound lines run in a second time, on a file system held in memory, so that their ratio
// shows the program's own cost and not how busy the disk was.
namespace ramfolder {

// The environment variable that names the folder; without it, /dev/shm.
inline constexpr char EnvironmentVariable[] = "TANAMIRU_BENCH_RAM";

struct Choice {
    QString path;   // empty when there is none
    QString reason; // why not, when path is empty; else the folder and its file system
};

// The folder named, or /dev/shm, when it is a writable folder on tmpfs or ramfs.
Choice find();

} // namespace ramfolder
