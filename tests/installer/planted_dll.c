/* tests/installer/planted_dll.c: what an attacker drops beside a program as version.dll or
 * gdiplus.dll. Loading it leaves "<its own path>.ran" behind; its functions of both names
 * fail. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        WCHAR marker[MAX_PATH + 8];
        const DWORD length = GetModuleFileNameW(instance, marker, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            lstrcatW(marker, L".ran");
            const HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, NULL);
            if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        }
    }
    return TRUE;
}

/* The functions of version.dll answer 0 (nothing found), those of gdiplus.dll GenericError;
 * planted.def exports them under the system's names. */
int WINAPI PlantedNothing(void) {
    return 0;
}

int WINAPI PlantedGenericError(void) {
    return 1;
}
