// Time probes along the start-up path, for the benchmark's breakdown of the
// start-up time. They exist only in a build configured with
// KANAROUTE_STARTUP_PROBES=ON; in the product they compile to nothing. Even
// there they record nothing unless the environment variable
// KANAROUTE_STARTUP_TRACE names a file; the record is written there once, when
// the main window has been shown and painted.
#pragma once

namespace kana::win32::startup_probe {

#if defined(KANAROUTE_STARTUP_PROBES)

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

#else

inline bool active() {
    return false;
}
inline void mark(const char*) {}
inline void finish() {}
class Span {
  public:
    explicit Span(const char*) {}
};

#endif

} // namespace kana::win32::startup_probe
