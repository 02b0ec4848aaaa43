// A stand-in for the extension module, linked by tools/cross-check with the
// embedded tables and nothing else. Its one exported function hands out the
// table, so the linker keeps it; the check then reads which symbols the
// linked image exports.
extern "C" const unsigned char trovelin_catalogue_rows[];

#if defined(_WIN32)
#define TROVELIN_EXPORT __declspec(dllexport)
#else
#define TROVELIN_EXPORT __attribute__((visibility("default")))
#endif

extern "C" TROVELIN_EXPORT const void* PyInit_trovelin() {
    return trovelin_catalogue_rows;
}
