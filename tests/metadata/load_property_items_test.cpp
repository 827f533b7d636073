// tests/metadata/load_property_items_test.cpp: the one load of an image's property items,
// step by step over a scripted source, and over the real sources with real files.
#include "plugin/image_property_items.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>

#include "metadata/builtin_item_source.h"
#include "pixelfold/pixelfold.h"
#include "support/allocation_fault.h"
#include "support/bytes.h"
#include "support/param_name.h"
#include "support/temp_dir.h"
#include "support/test_images.h"
#include "support/wine.h"
#if defined(_WIN32)
#include "metadata/gdiplus_item_source.h"
#endif

namespace pixelfold::test {
namespace {

constexpr PROPID kGammaTag = 0x0301;

// Answers each step as scripted and logs the calls; ReadAll writes one ASCII item.
class ScriptedSource final : public PropertyItemSource {
  public:
    struct Script {
        bool start = true;
        bool open = true;
        bool size = true;
        std::uint32_t count = 1;
        bool read = true;
    };
    static constexpr std::uint32_t kOneItemBytes = sizeof(PropertyItem) + 2;

    explicit ScriptedSource(Script script) : script_(script) {}

    bool Start() noexcept override { return Log("Start", script_.start); }
    bool OpenImage(const WCHAR* path) noexcept override {
        openedNull_ = path == nullptr;
        return Log("Open", script_.open);
    }
    bool QuerySize(std::uint32_t& totalBytes, std::uint32_t& count) noexcept override {
        totalBytes = script_.count == 0 ? 0 : kOneItemBytes;
        count = script_.count;
        return Log("Size", script_.size);
    }
    bool ReadAll(std::uint32_t totalBytes, std::uint32_t count,
                 PropertyItem* block) noexcept override {
        if (script_.read && totalBytes == kOneItemBytes && count == 1) {
            auto* value = reinterpret_cast<char*>(block + 1);
            std::memcpy(value, "A", 2);
            *block = PropertyItem{};
            block->id = 0x010F;
            block->length = 2;
            block->type = 2;
            block->value = value;
        }
        return Log("Read", script_.read);
    }
    void CloseImage() noexcept override { Log("Close", true); }
    void Shutdown() noexcept override { Log("Shutdown", true); }

    const std::string& log() const { return log_; }
    bool openedNull() const { return openedNull_; }

  private:
    bool Log(const char* step, bool result) {
        if (!log_.empty()) log_ += ' ';
        log_ += step;
        return result;
    }

    Script script_;
    std::string log_;
    bool openedNull_ = false;
};

enum class Buffer { kUnchanged, kEmpty, kNewItem };

struct LoadCase {
    std::string name;
    ScriptedSource::Script script;
    bool allocationFails;
    bool result;
    bool loadedFlag;
    Buffer buffer;
    std::string log;
};

class LoadPropertyItemsTest : public testing::TestWithParam<LoadCase> {
  protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, image_.Open(dir_.WidePath("image.bmp").c_str()));
        // A block held from before, to show what a load keeps and what it replaces.
        void* old = std::malloc(sizeof(PropertyItem));
        ASSERT_NE(nullptr, old);
        image_.info().propertyItems.reset(new (old) PropertyItem{});
        image_.info().propertyItemCount = 1;
        oldBlock_ = image_.info().propertyItems.get();
    }

    TempDir dir_;
    const std::filesystem::path file_ = dir_.Write("image.bmp", SmallBmp(1, 1));
    ProbedImage image_;
    PropertyItem* oldBlock_ = nullptr;
};

TEST_P(LoadPropertyItemsTest, FollowsTheStepsAndKeepsOrReplacesTheBlock) {
    const LoadCase& c = GetParam();
    ScriptedSource source(c.script);
    bool result = false;
    if (c.allocationFails) {
        const ScopedAllocationFault fault(0);
        result = LoadPropertyItems(image_, source);
    } else {
        result = LoadPropertyItems(image_, source);
    }
    EXPECT_EQ(c.result, result);
    EXPECT_EQ(c.loadedFlag, image_.propertyItemsLoaded());
    EXPECT_EQ(c.log, source.log());
    const BmpInfo& info = image_.info();
    switch (c.buffer) {
        case Buffer::kUnchanged:
            EXPECT_EQ(oldBlock_, info.propertyItems.get());
            EXPECT_EQ(1u, info.propertyItemCount);
            break;
        case Buffer::kEmpty:
            EXPECT_EQ(nullptr, info.propertyItems.get());
            EXPECT_EQ(0u, info.propertyItemCount);
            break;
        case Buffer::kNewItem:
            ASSERT_NE(nullptr, info.propertyItems.get());
            ASSERT_EQ(1u, info.propertyItemCount);
            EXPECT_EQ(0x010Fu, info.propertyItems->id);
            EXPECT_STREQ("A", static_cast<const char*>(info.propertyItems->value));
            break;
    }
}

constexpr const char* kAllSteps = "Start Open Size Read Close Shutdown";
constexpr const char* kNoRead = "Start Open Size Close Shutdown";

INSTANTIATE_TEST_SUITE_P(
    Steps, LoadPropertyItemsTest,
    testing::Values(
        LoadCase{"Loads", {}, false, true, true, Buffer::kNewItem, kAllSteps},
        LoadCase{"StartFails", {.start = false}, false, false, false, Buffer::kUnchanged, "Start"},
        LoadCase{"OpenFails",
                 {.open = false},
                 false,
                 false,
                 true,
                 Buffer::kUnchanged,
                 "Start Open Close Shutdown"},
        LoadCase{"SizeFails", {.size = false}, false, false, true, Buffer::kUnchanged, kNoRead},
        LoadCase{"NoItems", {.count = 0}, false, true, true, Buffer::kEmpty, kNoRead},
        LoadCase{"AllocationFails", {}, true, true, true, Buffer::kEmpty, kNoRead},
        LoadCase{"ReadFails", {.read = false}, false, true, true, Buffer::kEmpty, kAllSteps}),
    ParamName());

// A source that did not start leaves the image unloaded, so that the navigator's next metadata
// request loads it.
TEST_F(LoadPropertyItemsTest, AStartFailureLeavesTheNextRequestToLoad) {
    ScriptedSource failing({.start = false});
    ASSERT_FALSE(LoadPropertyItems(image_, failing));
    ASSERT_FALSE(image_.propertyItemsLoaded());
    ScriptedSource working({});
    EXPECT_TRUE(LoadPropertyItems(image_, working));
    EXPECT_TRUE(image_.propertyItemsLoaded());
    EXPECT_EQ(kAllSteps, working.log());
    EXPECT_EQ(1u, image_.info().propertyItemCount);
}

TEST(LoadPropertyItemsNeverOpenedTest, AsksTheSourceForNoPath) {
    ProbedImage image;
    ScriptedSource source({.open = false});
    EXPECT_FALSE(LoadPropertyItems(image, source));
    EXPECT_TRUE(source.openedNull());
    EXPECT_TRUE(image.propertyItemsLoaded());
}

// The same files through each real source: the built-in reader everywhere, GDI+ on Windows.
template <class Source>
class RealSourceTest : public testing::Test {
  protected:
    bool Load(ProbedImage& image) {
        Source source;
        return LoadPropertyItems(image, source);
    }
    TempDir dir_;
};

#if defined(_WIN32)
using RealSources = testing::Types<BuiltinItemSource, GdiplusItemSource>;
#else
using RealSources = testing::Types<BuiltinItemSource>;
#endif
TYPED_TEST_SUITE(RealSourceTest, RealSources);

TYPED_TEST(RealSourceTest, NeverOpenedImageFailsOnce) {
    ProbedImage image;
    EXPECT_FALSE(this->Load(image));
    EXPECT_TRUE(image.propertyItemsLoaded());
    EXPECT_EQ(0u, image.info().propertyItemCount);
}

TYPED_TEST(RealSourceTest, UndecodableFileFails) {
    Bytes text;
    AppendText(text, "not an image at all, only text");
    this->dir_.Write("text.png", text);
    ProbedImage image;
    ASSERT_EQ(FILE_E_BAD_FORMAT, image.Open(this->dir_.WidePath("text.png").c_str()));
    EXPECT_FALSE(this->Load(image));
    EXPECT_TRUE(image.propertyItemsLoaded());
}

TYPED_TEST(RealSourceTest, ImageWithoutItemsLoadsAnEmptyList) {
    this->dir_.Write("plain.bmp", SmallBmp(1, 1));
    ProbedImage image;
    ASSERT_EQ(S_OK, image.Open(this->dir_.WidePath("plain.bmp").c_str()));
    // Windows' GDI+ sizes an image without items as 0 bytes and 0 items; Wine's refuses the
    // size query (PropertyNotFound), which fails the load but leaves the same empty list.
    const bool wineGdiplus = !std::is_same_v<TypeParam, BuiltinItemSource> && RunningUnderWine();
    EXPECT_EQ(!wineGdiplus, this->Load(image));
    EXPECT_TRUE(image.propertyItemsLoaded());
    EXPECT_EQ(nullptr, image.info().propertyItems.get());
    EXPECT_EQ(0u, image.info().propertyItemCount);
}

TYPED_TEST(RealSourceTest, ImageWithItemsLoadsThemIntoOneBlock) {
    this->dir_.Write("gamma.png", GammaPng());
    ProbedImage image;
    ASSERT_EQ(S_OK, image.Open(this->dir_.WidePath("gamma.png").c_str()));
    ASSERT_TRUE(this->Load(image));
    const BmpInfo& info = image.info();
    ASSERT_NE(nullptr, info.propertyItems.get());
    ASSERT_GE(info.propertyItemCount, 1u);
    const PropertyItem* items = info.propertyItems.get();
    const auto* blockStart = reinterpret_cast<const std::uint8_t*>(items);
    bool foundGamma = false;
    for (std::uint32_t i = 0; i < info.propertyItemCount; ++i) {
        // Values lie in the same block, after the records.
        const auto* value = static_cast<const std::uint8_t*>(items[i].value);
        EXPECT_GE(value, blockStart + info.propertyItemCount * sizeof(PropertyItem));
        if (items[i].id != kGammaTag) continue;
        foundGamma = true;
        ASSERT_EQ(8u, items[i].length);
        std::uint32_t fraction[2] = {};
        std::memcpy(fraction, value, sizeof fraction);
        EXPECT_EQ(100000u, fraction[0]);
        EXPECT_EQ(45455u, fraction[1]);
    }
    EXPECT_TRUE(foundGamma);
}

TEST(DefaultSourceTest, LoadsTheItemsOfARealImage) {
    TempDir dir;
    dir.Write("gamma.png", GammaPng());
    ProbedImage image;
    ASSERT_EQ(S_OK, image.Open(dir.WidePath("gamma.png").c_str()));
    EXPECT_TRUE(LoadPropertyItems(image));
    EXPECT_TRUE(image.propertyItemsLoaded());
    EXPECT_GE(image.info().propertyItemCount, 1u);
}

}  // namespace
}  // namespace pixelfold::test
