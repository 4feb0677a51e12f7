// A stand-in for a real setup program, built for Windows by the end-to-end test: it installs
// itself as "kaplix3.exe" below the program-files folder the Windows shell reports, then
// leaves the marker file "setup-ran.txt" in its working directory saying how that went. The
// marker comes last, so once it is there the setup program has finished.
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>

namespace {

bool Install()
{
    wchar_t programFiles[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles)))
        return false;
    const std::wstring kaplix = std::wstring(programFiles) + L"\\kaplix";
    const std::wstring bin = kaplix + L"\\bin";
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return false;
    CreateDirectoryW(kaplix.c_str(), nullptr);
    CreateDirectoryW(bin.c_str(), nullptr);
    return CopyFileW(self, (bin + L"\\kaplix3.exe").c_str(), FALSE) != 0;
}

bool WriteMarker(const char* text)
{
    const HANDLE file = CreateFileW(L"setup-ran.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(std::strlen(text));
    const bool ok = WriteFile(file, text, size, &written, nullptr) && written == size;
    CloseHandle(file);
    return ok && MoveFileExW(L"setup-ran.tmp", L"setup-ran.txt", MOVEFILE_REPLACE_EXISTING);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const bool installed = Install();
    if (!WriteMarker(installed ? "installed" : "installation failed"))
        return 2;
    return installed ? 0 : 1;
}
