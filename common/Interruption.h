#pragma once
// What a run leaves behind when it is interrupted (Ctrl-C, SIGTERM): nothing
// but the files it had already finished. Every temporary file an AtomicFile
// opens is listed here while it exists, so that a front end's signal
// handler can remove them all before the process ends; a set of outputs
// that must be put in place together holds interruptions off while it is
// renamed, so that the handler never leaves half of the set new.
//
// Everything the handler calls is async-signal-safe: the list is a fixed
// table of names, and removing them calls only unlink.

namespace torvane {

// Lists the temporary file `path`; answers a ticket for ForgetTemporary, -1
// when the table is full (the file is then not removed on interruption).
int ListTemporary(const char* path);
// Takes the file off the list (renamed into place, or removed).
void ForgetTemporary(int ticket);

// Removes every listed temporary file. Async-signal-safe.
void RemoveListedTemporaries();

// Installs handlers of SIGINT and SIGTERM that remove every listed temporary
// file, write `message` (a whole line) on stderr and end the process with
// 128 + the signal's number (130, 143). Installed once by torvane-cli; the
// window and the Python module keep their own ways. While an InterruptHold is alive the
// signal waits for the hold to end.
void InstallInterruptHandlers(const char* message);

// Holds interruptions off for its lifetime: a signal arriving meanwhile
// takes effect when the last hold ends.
class InterruptHold {
 public:
  InterruptHold();
  ~InterruptHold();
  InterruptHold(const InterruptHold&) = delete;
  InterruptHold& operator=(const InterruptHold&) = delete;
};

}  // namespace torvane
