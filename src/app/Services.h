#pragma once

class Clock;
class PcFileSystem;
class ProgressObserver;
class Prompter;
class TerminalLibrary;

// What an operation talks to, passed in so that a test can stand in for any of it.
struct Services {
    TerminalLibrary& library;
    Prompter& prompter;
    Clock& clock;
    PcFileSystem& files;
    ProgressObserver& progress;
};

// The program's own: the terminal modules, the window's message boxes, the real clock, the
// PC's files and the window's progress display. Only the window's adaptors call this.
Services AppServices();
