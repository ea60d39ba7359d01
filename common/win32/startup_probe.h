// Time probes along the start-up path. They record nothing unless the
// environment variable KANAROUTE_STARTUP_TRACE names a file; the record is
// written there once, when the main window has been shown and painted.
#pragma once

namespace kana::win32::startup_probe {

// True on the program's first thread while a record is asked for and not yet written.
bool active();
// The phase called name ends now.
void mark(const char* name);
// Writes the record (once; later probes are ignored).
void finish();

// Adds the time from its construction to its end to the part called name.
class Span {
  public:
    explicit Span(const char* name);
    Span(const Span&) = delete;
    Span& operator=(const Span&) = delete;
    ~Span();

  private:
    const char* name_;
    double startMs_;
};

} // namespace kana::win32::startup_probe
