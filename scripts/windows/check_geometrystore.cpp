// The registry side of the window geometry store, against the registry wine keeps.
#include "check.h"

#include "app/geometrystore.h"

#include <windows.h>

namespace {

std::vector<std::wstring> traced;

void removeKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, GeometryStore::subKey);
    traced.clear();
}

// Reads a value with the plain Win32 call, apart from the code under test.
bool rawDword(const wchar_t* name, DWORD* value) {
    DWORD size = sizeof(*value);
    return RegGetValueW(HKEY_CURRENT_USER, GeometryStore::subKey, name, RRF_RT_REG_DWORD, nullptr,
                        value, &size) == ERROR_SUCCESS;
}

void roundTrip() {
    removeKey();
    const struct {
        const wchar_t* name;
        int written;
    } values[] = {{GeometryStore::posXName, -250},
                  {GeometryStore::posYName, -1},
                  {GeometryStore::widthName, 1200},
                  {GeometryStore::heightName, 700}};
    for (const auto& value : values)
        Check::expect(GeometryStore::writeValue(value.name, static_cast<uint32_t>(value.written)),
                      "writing creates the key");
    Check::expect(traced == std::vector<std::wstring>(4, L"true"), "each write traces \"true\"");
    for (const auto& value : values) {
        uint32_t read = 0;
        Check::expect(GeometryStore::readValue(value.name, &read), "reading a written value");
        Check::expect(read == static_cast<uint32_t>(value.written), "the same 32 bits come back");
        DWORD raw = 0;
        Check::expect(rawDword(value.name, &raw) && raw == read, "stored as a REG_DWORD");
    }
    uint32_t x = 0;
    GeometryStore::readValue(GeometryStore::posXName, &x);
    Check::expect(x == 4294967046u, "a negative position reads back as a large unsigned number");
}

void missingValueKeepsDefault() {
    removeKey();
    uint32_t x = 100;
    Check::expect(!GeometryStore::readValue(GeometryStore::posXName, &x), "no key, no value");
    Check::expect(x == 100, "the default stays");
    Check::expect(traced.size() == 1 &&
                      traced.front() ==
                          L"Software\\Kestrelby\\Glimmerdock : posX : Cannot read DWORD from "
                          L"registry.",
                  "the failed read is traced");

    GeometryStore::writeValue(GeometryStore::posYName, 40);
    uint32_t width = 986;
    Check::expect(!GeometryStore::readValue(GeometryStore::widthName, &width),
                  "key present, value missing");
    Check::expect(width == 986, "the default stays with the key present");

    const wchar_t text[] = L"wide";
    RegSetKeyValueW(HKEY_CURRENT_USER, GeometryStore::subKey, GeometryStore::heightName, REG_SZ,
                    text, sizeof(text));
    uint32_t height = 513;
    Check::expect(!GeometryStore::readValue(GeometryStore::heightName, &height),
                  "a value of another type does not read");
    Check::expect(height == 513, "the default stays for a value of another type");
    removeKey();
}

void screenMetrics() {
    const GeometryStore::ScreenSize screen = GeometryStore::screenSize();
    Check::expect(screen.width > 0 && screen.height > 0, "the screen has a size");
}

const Check::Register registered[] = {
    {"geometry store: registry round trip", roundTrip},
    {"geometry store: missing value keeps the default", missingValueKeepsDefault},
    {"geometry store: screen metrics", screenMetrics},
};

} // namespace

namespace GeometryStore {

void trace(const std::wstring& line) {
    traced.push_back(line);
}

} // namespace GeometryStore
