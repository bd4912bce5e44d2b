#pragma once

// Some picture libraries print their complaints straight to standard error ("libpng error: Read
// Error", "foo: Sorry, can not handle images ..."), where they would come before the program's
// own one-line message and say less. A program that reports every failure itself mutes standard
// error around those libraries' calls. Only for programs of our own: a module inside another
// program must leave that program's standard error alone.

class LibraryNoiseMute {
public:
    LibraryNoiseMute(); // standard error goes nowhere from here...
    ~LibraryNoiseMute(); // ...until here
    LibraryNoiseMute(const LibraryNoiseMute&) = delete;
    LibraryNoiseMute& operator=(const LibraryNoiseMute&) = delete;

private:
    int saved = -1;
};
