// The names a copy gives its temporaries, and what a later run reads from one it finds.
#pragma once
#include <cstddef>

namespace Platform {

// A copy is written beside its destination under a temporary name and
// renamed over it when whole (Platform.h). The name tells a later run that
// the file is a temporary, which build wrote it, and, in the usual form,
// which process:
//   ".kivtmp." mark, the process id (8 hex digits), ".", a serial (6)
//       ".kivtmp.w00001f2c.00002a", 24 characters;
//   ".kivtmp", mark, a serial (2 hex digits)
//       ".kivtmpw2a", 10 characters, where the usual name does not fit the
//       path limit beside the destination; never longer than the
//       destination's own name, so it fits wherever the destination does.
// The mark is the build's own: kWindowsMark for the Windows build, under
// Wine too, kNativeMark for the native tools. A run judges only temporaries
// of its own mark; one of another build (or of a build before the marks,
// ".kivtmp.00001f2c.00002a") it cannot judge.
constexpr char kTemporaryPrefix[] = ".kivtmp";
constexpr char kWindowsMark = 'w';
constexpr char kNativeMark = 'n';
constexpr size_t kTemporaryNameLength = 24;
constexpr size_t kShortTemporaryNameLength = 10;

// How many names a copy tries when the one it picks exists already (left by
// a process of the same id, or a short name another run took).
constexpr int kTemporaryNameTries = 16;

// A temporary that a run cannot judge, another build's or one whose process
// it cannot know, is removed only once it has not been written for this
// long: no copy goes on that long without writing.
constexpr long long kUnjudgedTemporarySeconds = 3600;

// Writes the next name of the usual form into out (room for
// kTemporaryNameLength + 1 bytes) or of the short form (room for
// kShortTemporaryNameLength + 1); each call gives another serial. Called from
// one thread at a time: the serial is not guarded.
void NextTemporaryName(char mark, unsigned long process, char* out);
void NextShortTemporaryName(char mark, char* out);

// What a name found in a directory says of it.
struct FoundTemporary {
    bool isTemporary;  // a temporary's name, of either form, of any build
    bool ours;         // with the mark given
    bool hasProcess;   // the usual form: process holds its process id
    unsigned long process;
};
FoundTemporary ReadTemporaryName(const char* name, char mark);

}  // namespace Platform
