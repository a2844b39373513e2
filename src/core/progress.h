#pragma once

#include <QString>

namespace pavelora {

// A progress display for long operations (saving, opening, JPEG export). The widget
// layer shows it in a window; tests record the calls.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void setText(const QString& text) = 0;
    // Starts counting from 0 towards `total`.
    virtual void start(int total) = 0;
    virtual void step(int amount) = 0;
};

// A progress display that shows nothing, for work done without a window.
class SilentProgress : public Progress {
public:
    void setText(const QString&) override {}
    void start(int) override {}
    void step(int) override {}
};

// Structural failures are reported by a five-character code ("EM003", ...); the
// application then ends.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void reportError(const char* code) = 0;
};

} // namespace pavelora
