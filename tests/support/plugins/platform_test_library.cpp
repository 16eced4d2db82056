// The smallest plugin-shaped library: one function and one datum to look up.

extern "C" int PlatTestAdd(int a, int b) { return a + b; }

// An extern "C" declaration without braces makes the const object extern, so
// it is exported (inside braces it would stay internal).
extern "C" const char PlatTestName[] = "platform test library";
