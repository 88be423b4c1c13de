/* A stand-in chat window of the Windows client, run under Wine by the tests:
 * a top-level window titled "There (DX9)" with one edit field that has the
 * keyboard focus. Enter appends the field's text as one line to the log
 * named on the command line and clears the field, the way a chat line is
 * sent. The log holds the field's bytes as they are in the ANSI code page,
 * each line ended by a line feed and written the moment Enter comes. The log
 * is created when the field first gets the keyboard focus: once it is there,
 * the window is the active one and typed keys reach the field.
 *
 *   wine-chat.exe LOGFILE [TITLE]
 */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define CHAT_MAX_LINE 100000

static const char *g_logPath;
static HWND g_edit;
static WNDPROC g_editProc;
static BOOL g_logCreated;

static BOOL appendLine(const char *text, DWORD length)
{
    HANDLE file = CreateFileA(g_logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;
    BOOL ok;
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    /* One write per line, so a reader never sees half a line ended. */
    ok = WriteFile(file, text, length, &written, NULL) && written == length;
    CloseHandle(file);
    return ok;
}

static void sendLine(void)
{
    int length = GetWindowTextLengthA(g_edit);
    char *line = malloc((size_t)length + 2);
    if (!line)
        return;
    length = GetWindowTextA(g_edit, line, length + 1);
    line[length] = '\n';
    appendLine(line, (DWORD)length + 1);
    free(line);
    SetWindowTextA(g_edit, "");
}

/* The edit field of a single line ignores Enter; here it sends the line. */
static LRESULT CALLBACK editProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        if (!g_logCreated) {
            LRESULT result = CallWindowProcA(g_editProc, window, message, wParam, lParam);
            g_logCreated = appendLine("", 0);
            if (!g_logCreated)
                PostQuitMessage(1);
            return result;
        }
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            sendLine();
            return 0;
        }
        break;
    case WM_CHAR:
        /* The characters Enter and Ctrl+Enter make, which would only beep. */
        if (wParam == '\r' || wParam == '\n')
            return 0;
        break;
    case WM_GETDLGCODE:
        return CallWindowProcA(g_editProc, window, message, wParam, lParam) | DLGC_WANTALLKEYS;
    }
    return CallWindowProcA(g_editProc, window, message, wParam, lParam);
}

static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        g_edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 8, 8, 460, 24,
                                 window, (HMENU)1, ((CREATESTRUCTA *)lParam)->hInstance, NULL);
        if (!g_edit)
            return -1;
        SendMessageA(g_edit, EM_SETLIMITTEXT, CHAT_MAX_LINE, 0);
        g_editProc = (WNDPROC)SetWindowLongPtrA(g_edit, GWLP_WNDPROC, (LONG_PTR)editProc);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            SetFocus(g_edit);
        return 0;
    case WM_SETFOCUS:
        SetFocus(g_edit);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int main(int argc, char **argv)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    WNDCLASSA windowClass;
    HWND window;
    MSG message;

    if (argc < 2) {
        fputs("usage: wine-chat.exe LOGFILE [TITLE]\n", stderr);
        return 2;
    }
    g_logPath = argv[1];

    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "ZibblesWineChat";
    if (!RegisterClassA(&windowClass))
        return 1;

    window = CreateWindowExA(0, windowClass.lpszClassName, argc > 2 ? argv[2] : "There (DX9)",
                             WS_OVERLAPPEDWINDOW, 40, 40, 496, 90, NULL, NULL, instance, NULL);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SetFocus(g_edit);

    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}
