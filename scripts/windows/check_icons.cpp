// Our icon files as Windows' own reader loads and draws them: every entry shows exactly the pixels
// written, over black and over white, and the sizes a file lacks still load. The files, and the
// pixels each entry should show, come from glimmerdock_icongen; scripts/check-windows names their
// folder in GLIMMERDOCK_ICON_FOLDER.
#include "check.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// Per channel: blending rounds once, and may round the other way than our exact expectation.
constexpr int tolerance = 1;
// Sizes Windows asks for that the default entries lack.
const int otherSizes[] = {20, 24, 40, 64, 96};

std::wstring iconFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"GLIMMERDOCK_ICON_FOLDER", path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? path : L"";
}

Bytes readFile(const std::wstring& path) {
    Bytes bytes;
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        unsigned char block[65536];
        while (const size_t read = std::fread(block, 1, sizeof(block), file))
            bytes.insert(bytes.end(), block, block + read);
        std::fclose(file);
    }
    return bytes;
}

// The .ico files of `folder`, sorted so the output reads the same on every run.
std::vector<std::wstring> iconNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*.ico").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Entry edges, in file order, from the file's own directory (a width of 0 stands for 256).
std::vector<int> entrySizes(const Bytes& file) {
    std::vector<int> sizes;
    const size_t count = file.size() >= 6 ? file[4] | file[5] << 8 : 0;
    for (size_t i = 0; i < count && 6 + 16 * (i + 1) <= file.size(); ++i)
        sizes.push_back(file[6 + 16 * i] ? file[6 + 16 * i] : 256);
    return sizes;
}

// The entry Windows' matching picks for n x n: the file's directory retold as a resource directory
// (entry numbers where the file has offsets) for LookupIconIdFromDirectoryEx. The loaded icon is
// scaled to n x n, so its own size cannot tell.
int pickedEntry(const Bytes& file, const std::vector<int>& sizes, int n) {
    if (sizes.empty())
        return 0;
    Bytes group(file.begin(), file.begin() + 6);
    for (size_t i = 0; i < sizes.size(); ++i) {
        const auto entry = file.begin() + 6 + 16 * i;
        group.insert(group.end(), entry, entry + 12);
        group.push_back(static_cast<unsigned char>(i + 1));
        group.push_back(0);
    }
    const int id = LookupIconIdFromDirectoryEx(group.data(), TRUE, n, n, LR_DEFAULTCOLOR);
    return id >= 1 && id <= int(sizes.size()) ? sizes[id - 1] : 0;
}

HICON loadIcon(const std::wstring& path, int n) {
    return static_cast<HICON>(LoadImageW(nullptr, path.c_str(), IMAGE_ICON, n, n, LR_LOADFROMFILE));
}

// The edge of a loaded icon: its mask is there for colour and monochrome icons alike.
int loadedEdge(HICON icon) {
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return 0;
    BITMAP mask = {};
    GetObjectW(info.hbmMask, sizeof(mask), &mask);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return mask.bmWidth;
}

// `icon` drawn n x n by DrawIconEx onto a 32-bit bitmap filled with `ground`: 0xRRGGBB per pixel,
// rows from the top.
std::vector<uint32_t> drawIcon(HICON icon, int n, uint32_t ground) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), n, -n, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<uint32_t> pixels;
    if (bitmap) {
        const HGDIOBJ old = SelectObject(dc, bitmap);
        uint32_t* first = static_cast<uint32_t*>(bits);
        std::fill(first, first + n * n, ground);
        Check::expect(DrawIconEx(dc, 0, 0, icon, n, n, 0, nullptr, DI_NORMAL),
                      "DrawIconEx draws at " + std::to_string(n));
        GdiFlush();
        for (int i = 0; i < n * n; ++i)
            pixels.push_back(first[i] & 0xffffff);
        SelectObject(dc, old);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    return pixels;
}

// Each channel of `rgba` (un-premultiplied) blended over `ground`, rounded: 0xRRGGBB.
uint32_t blended(const unsigned char* rgba, uint32_t ground) {
    uint32_t pixel = 0;
    for (int channel = 0; channel < 3; ++channel) {
        const int under = ground >> (16 - 8 * channel) & 0xff, alpha = rgba[3];
        pixel = pixel << 8 | (alpha * rgba[channel] + (255 - alpha) * under + 127) / 255;
    }
    return pixel;
}

int largestChannelDifference(uint32_t a, uint32_t b) {
    int largest = 0;
    for (int shift = 0; shift < 24; shift += 8)
        largest = std::max(largest, std::abs(int(a >> shift & 0xff) - int(b >> shift & 0xff)));
    return largest;
}

// Compares `icon` drawn n x n over `ground` with `expected`; answers the largest channel
// difference and names the first pixel beyond the tolerance.
int compareDrawn(HICON icon, int n, const Bytes& expected, uint32_t ground,
                 const std::string& what) {
    const std::vector<uint32_t> drawn = drawIcon(icon, n, ground);
    if (drawn.size() != size_t(n) * n)
        return 255;
    int largest = 0;
    bool reported = false;
    for (int i = 0; i < n * n; ++i) {
        const uint32_t want = blended(&expected[4 * i], ground);
        const int difference = largestChannelDifference(drawn[i], want);
        largest = std::max(largest, difference);
        if (difference > tolerance && !reported) {
            char detail[96];
            std::snprintf(detail, sizeof(detail), " over %06x at (%d, %d): %06x, not %06x",
                          unsigned(ground), i % n, i / n, unsigned(drawn[i]), unsigned(want));
            Check::expect(false, what + detail);
            reported = true;
        }
    }
    return largest;
}

// One entry loaded at its own size, drawn over black and over white; answers the largest channel
// difference from the pixels written.
int checkEntry(const std::wstring& path, const std::wstring& stem, int n, const std::string& what) {
    const Bytes expected = readFile(stem + L"-" + std::to_wstring(n) + L".rgba");
    const HICON icon = loadIcon(path, n);
    Check::expect(icon != nullptr, what + " loads");
    Check::expect(expected.size() == size_t(4) * n * n, what + " has its expected pixels");
    if (!icon || expected.size() != size_t(4) * n * n)
        return 255;
    const int largest = std::max(compareDrawn(icon, n, expected, 0x000000, what),
                                 compareDrawn(icon, n, expected, 0xffffff, what));
    DestroyIcon(icon);
    return largest;
}

bool invisible(const std::wstring& stem, const std::vector<int>& sizes) {
    for (int n : sizes) {
        const Bytes pixels = readFile(stem + L"-" + std::to_wstring(n) + L".rgba");
        for (size_t i = 3; i < pixels.size(); i += 4) {
            if (pixels[i] != 0)
                return false;
        }
    }
    return true;
}

// Checks one file and prints one line: its entries, how close they are drawn, and which entry
// stands in for each size the file lacks.
void checkIconFile(const std::wstring& folder, const std::wstring& name) {
    const std::wstring path = folder + L"\\" + name;
    const std::wstring stem = path.substr(0, path.size() - 4);
    const std::string label(name.begin(), name.end());
    const Bytes file = readFile(path);
    const std::vector<int> sizes = entrySizes(file);
    Check::expect(!sizes.empty(), label + " has entries");
    std::string line = label + ":";
    int largest = 0;
    for (int n : sizes) {
        largest = std::max(largest, checkEntry(path, stem, n, label + " " + std::to_string(n)));
        line += " " + std::to_string(n);
    }
    line += (invisible(stem, sizes) ? " invisible" : " as written") + std::string(" (off by ") +
            std::to_string(largest) + ")";
    std::string standIns;
    for (int n : otherSizes) {
        if (std::find(sizes.begin(), sizes.end(), n) != sizes.end())
            continue;
        const HICON icon = loadIcon(path, n);
        Check::expect(icon && loadedEdge(icon) == n, label + " loads at " + std::to_string(n));
        if (icon)
            DestroyIcon(icon);
        const int picked = pickedEntry(file, sizes, n);
        standIns += " " + std::to_string(n) + " from " + std::to_string(picked);
        // 24 is as near to 16 as to 32: the larger is the sharper once scaled.
        const auto has = [&](int edge) {
            return std::find(sizes.begin(), sizes.end(), edge) != sizes.end();
        };
        if (n == 24 && has(16) && has(32))
            Check::expect(picked == 32, label + " answers 24 with its 32 entry");
    }
    std::printf("  %s%s\n", line.c_str(), standIns.empty() ? "" : (";" + standIns).c_str());
}

void iconFiles() {
    const std::wstring folder = iconFolder();
    const std::vector<std::wstring> names = iconNames(folder);
    Check::expect(!names.empty(), "GLIMMERDOCK_ICON_FOLDER names a folder of icon files");
    for (const std::wstring& name : names)
        checkIconFile(folder, name);
}

const Check::Register registered[] = {
    {"icon files: Windows draws every entry as written", iconFiles},
};

} // namespace
