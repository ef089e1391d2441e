// The exe as Windows sees it: manifest, version, icon, DPI awareness.
#include "wine_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ExeResources : public ::testing::Test {
  protected:
    void SetUp() override {
        exe = wintest::windowsPath(BARMETER_EXE);
        module =
            ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr);
    }
    void TearDown() override {
        if (module) ::FreeLibrary(module);
    }
    std::string resource(LPCWSTR type, LPCWSTR name) {
        HRSRC r = ::FindResourceW(module, name, type);
        if (!r) return {};
        const auto* p = static_cast<const char*>(::LockResource(::LoadResource(module, r)));
        return std::string(p, ::SizeofResource(module, r));
    }
    std::wstring exe;
    HMODULE module = nullptr;
};

TEST_F(ExeResources, ManifestDeclaresPerMonitorAwarenessAndSupportedSystems) {
    const std::string manifest = resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("PerMonitorV2, PerMonitor"), std::string::npos);
    EXPECT_NE(manifest.find("true/pm"), std::string::npos);
    for (const char* os : {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
                           "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_NE(manifest.find(os), std::string::npos) << os;
}

TEST_F(ExeResources, VersionAndIcon) {
    EXPECT_FALSE(resource(RT_GROUP_ICON, MAKEINTRESOURCEW(1)).empty());
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::string info(size, '\0');
    ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(HIWORD(fixed->dwProductVersionMS), 1u);
    wchar_t* name = nullptr;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\StringFileInfo\\040904b0\\ProductName",
                                 reinterpret_cast<void**>(&name), &len));
    EXPECT_STREQ(name, L"BarMeter");
}

} // namespace
