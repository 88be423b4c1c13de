/* Hands a running program the message of a pressed hotkey, for the keys that
 * Wine never delivers as hotkeys (Print Screen): posts WM_HOTKEY to every
 * window, shown, hidden or message-only, of the process that owns the
 * top-level window titled TITLE. The identifier is the number of the global
 * atom ATOM, which the program added when it registered the hotkey; the
 * message carries MODIFIERS (MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4) and the
 * virtual key VK, both decimal. Exit status 0 when at least one window was
 * given the message, 1 when none was (no such window, no such atom).
 *
 *   wine-hotkey.exe TITLE ATOM MODIFIERS VK
 */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

static DWORD g_process;
static WPARAM g_id;
static LPARAM g_keys;
static int g_posted;

static void postTo(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == g_process && PostMessageA(window, WM_HOTKEY, g_id, g_keys))
        ++g_posted;
}

static BOOL CALLBACK postToTopLevel(HWND window, LPARAM unused)
{
    (void)unused;
    postTo(window);
    return TRUE;
}

int main(int argc, char **argv)
{
    HWND owner;
    HWND messageOnly = NULL;
    ATOM atom;

    if (argc != 5) {
        fputs("usage: wine-hotkey.exe TITLE ATOM MODIFIERS VK\n", stderr);
        return 2;
    }
    owner = FindWindowA(NULL, argv[1]);
    atom = GlobalFindAtomA(argv[2]);
    if (!owner || !atom)
        return 1;
    GetWindowThreadProcessId(owner, &g_process);
    g_id = atom;
    g_keys = MAKELPARAM(atoi(argv[3]), atoi(argv[4]));
    EnumWindows(postToTopLevel, 0);
    while ((messageOnly = FindWindowExA(HWND_MESSAGE, messageOnly, NULL, NULL)) != NULL)
        postTo(messageOnly);
    return g_posted ? 0 : 1;
}
