// AddressSanitizer's defaults for every fuzz target.
//
// Freed memory stays poisoned until 16 MB more has been freed, the frees of
// many inputs: a late use is still caught, and the process reuses its pages
// instead of touching new ones for every input.
//
// No stack is recorded for an allocation or a free: that walk and its store
// cost a fifth of a run.  A report then lacks the "allocated by" and "freed
// by" stacks; scripts/lib/fuzz.sh runs a failing input once more with them.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=16:malloc_context_size=0";
}
