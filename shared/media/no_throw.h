// The engine and the plug-in are C interfaces: no C++ exception may leave
// them, neither from an export nor from a decoder's callbacks. A failed allocation (the only
// exception the standard containers throw here) makes the one call that
// needed it fail instead.
#ifndef TONQUIL_MEDIA_NO_THROW_H
#define TONQUIL_MEDIA_NO_THROW_H

// Runs body and gives its result, or failure when it throws.
template <typename Result, typename Body> Result NoThrow(Result failure, Body body) {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

#endif
