#include "passwords.h"

#include <termios.h>
#include <unistd.h>

#include <cstring>
#include <iostream>
#include <stdexcept>

namespace mkdata {

namespace {

// Turns the terminal's echo off for the object's life.
class NoEcho {
public:
    NoEcho() {
        if (::tcgetattr(STDIN_FILENO, &saved_) != 0)
            throw std::runtime_error(std::string("standard input: cannot read the terminal's settings: ") +
                                     std::strerror(errno));
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        if (::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) != 0)
            throw std::runtime_error(std::string("standard input: cannot turn the echo off: ") + std::strerror(errno));
    }
    ~NoEcho() { ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_); }
    NoEcho(const NoEcho&) = delete;
    NoEcho& operator=(const NoEcho&) = delete;

private:
    termios saved_{};
};

std::string readLine(const std::string& name) {
    std::string line;
    if (!std::getline(std::cin, line)) throw std::runtime_error("standard input: no password for " + name);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace

std::string readPassword(const std::string& name) {
    if (!::isatty(STDIN_FILENO)) return readLine(name);
    const NoEcho quiet;
    std::cerr << "Password for " << name << ": " << std::flush;
    const std::string first = readLine(name);
    std::cerr << "Password for " << name << " again: " << std::flush;
    if (readLine(name) != first) throw std::runtime_error("the two passwords typed for " + name + " differ");
    return first;
}

}  // namespace mkdata
