// forked_child.h: what a child forked from a process whose runtime has started
// must undo, at once and before anything else runs in it, so that nothing the
// child does can reach into its parent.
//
// fork() copies the runtime's memory but none of its threads, so the runtime
// cannot run in the child.  Worse, two of its resources stay shared with the
// parent rather than copied:
//  - with write-xor-execute on (the default), all executable memory and the
//    stub data pages beside it are views of one memfd file ("doublemapper")
//    mapped MAP_SHARED.  A child that jitted a method wrote the new code and
//    repointed precode stubs in that shared file, so the parent later jumped
//    into code that refers to the child's private data, and crashed;
//  - the runtime's SIGTERM handler writes to a pipe read by a thread of the
//    parent, so a SIGTERM sent to the child shut the parent down.
// The child therefore drops its views of the shared code file, points the
// file's descriptor at /dev/null, and gives back the signals the runtime took.
#pragma once

namespace morvax::coreclrwrap {

// Remembers every signal's disposition; called just before the runtime starts.
void remember_signal_dispositions_before_start();

// Remembers the handlers the runtime installed; called once it has started.
void remember_runtime_signal_handlers();

// In the child, right after fork: the steps above.  Uses only system calls on
// fixed buffers (no allocation, no locks), as a forked child must.
void detach_from_parent_runtime();

}  // namespace morvax::coreclrwrap
