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
