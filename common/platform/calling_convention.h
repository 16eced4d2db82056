/* The calling conventions and export marks of the C interfaces we load or
 * offer across a module boundary. Plain C: public export headers include it.
 * The conventions only have names of their own on 32-bit x86 Windows. */
#ifndef DRAVOLO_CALLING_CONVENTION_H
#define DRAVOLO_CALLING_CONVENTION_H

#if defined(_WIN32)
/* The standard convention (callee pops) of the Windows API; a library's
 * exports are named in its .def file. */
#define DRAVOLO_STDCALL __stdcall
#define DRAVOLO_EXPORT
#else
#define DRAVOLO_STDCALL
#define DRAVOLO_EXPORT __attribute__((visibility("default")))
#endif

/* Caller cleans: the convention of the plugins we load. */
#if defined(_WIN32) && (defined(_M_IX86) || defined(__i386__))
#define DRAVOLO_CDECL __cdecl
#else
#define DRAVOLO_CDECL
#endif

#endif /* DRAVOLO_CALLING_CONVENTION_H */
