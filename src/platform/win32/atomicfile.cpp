#include "platform/atomicfile.h"

#include "widepath.h"

#include <filesystem>
#include <windows.h>

namespace zibbles {

namespace {

DWORD attributesOf(const std::string &path)
{
    return GetFileAttributesW(widePath(path).c_str());
}

// A name beside `path` that no other writer uses: the process and a counter.
std::wstring temporaryNameFor(const std::string &path)
{
    static LONG counter = 0;
    return widePath(path) + L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(InterlockedIncrement(&counter));
}

bool writeAndFlush(const std::wstring &file, const std::string &bytes)
{
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        ok = WriteFile(handle, bytes.data() + done, chunk, &written, nullptr) && written > 0;
        done += written;
    }
    ok = ok && FlushFileBuffers(handle);
    return CloseHandle(handle) && ok;
}

} // namespace

// The new content is flushed to disk before it takes the old file's place
// in one step, so a crash leaves either the old file or the new one. A file
// that is there is replaced with ReplaceFileW, which keeps its attributes
// (Windows has no permission bits: `mode` is not used); a read-only one is
// refused, as Windows refuses to write it.
bool writeFileAtomically(const std::string &path, const std::string &bytes, std::optional<unsigned>)
{
    const DWORD attributes = attributesOf(path);
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return false;
    const std::wstring temporary = temporaryNameFor(path);
    const std::wstring target = widePath(path);
    const bool written =
        writeAndFlush(temporary, bytes) &&
        (exists ? ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                : MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH));
    if (!written)
        DeleteFileW(temporary.c_str());
    else if (exists)
        SetFileAttributesW(target.c_str(), attributes); // Wine's ReplaceFileW does not keep them
    return written;
}

std::optional<std::string> readWholeFile(const std::string &path)
{
    HANDLE handle = CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(handle, buffer, sizeof buffer, &got, nullptr)) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(handle);
    if (!ok)
        return std::nullopt;
    return bytes;
}

bool fileExists(const std::string &path)
{
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool pathExists(const std::string &path)
{
    return attributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

bool folderExists(const std::string &path)
{
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool makeFolders(const std::string &path)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(widePath(path)), ec);
    return folderExists(path);
}

bool linkFile(const std::string &path, const std::string &other)
{
    return fileExists(path) && CreateHardLinkW(widePath(other).c_str(), widePath(path).c_str(), nullptr);
}

} // namespace zibbles
