// A thread-local variable, which mingw-w64 emulates: the archive the
// emulated-TLS check must refuse, so that a check which no longer sees the
// calls fails too.
thread_local unsigned probeFlag = ~0U;

unsigned ReadProbeFlag()
{
    return probeFlag;
}
