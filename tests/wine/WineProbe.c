/* The smallest Windows program of a preset: it proves that the loader, the
 * system libraries and a window station work for its architecture. Prints its
 * pointer size and exits 0 when a window can be made. */
#include <windows.h>

#include <stdio.h>

int main(void) {
    HWND Window = CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    if (!Window) {
        printf("no window (error %lu)\n", GetLastError());
        return 3;
    }
    DestroyWindow(Window);
    printf("%u-bit Windows code runs\n", (unsigned)(sizeof(void*) * 8));
    return 0;
}
