// tests/plugin/image_file_test.cpp: the image navigator through its tables, as the host calls
// it: the slots, value requests, loading once, identity, aggregation and lifetime.
#include "plugin/image_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "com/module_lock.h"
#include "support/allocation_fault.h"
#include "support/ole_date.h"
#include "support/param_name.h"
#include "support/plugin_objects.h"
#include "support/temp_dir.h"
#include "support/test_images.h"

namespace pixelfold::test {
namespace {

WideString TextOf(const VARIANT& v) {
    return WideString(v.bstrVal, SysStringLen(v.bstrVal));
}

class NavigatorTest : public testing::Test {
  protected:
    ComRef<IVltFileNavigator> Open(const std::string& name, const Bytes& content) {
        dir_.Write(name, content);
        ComRef<IVltFileNavigator> navigator;
        EXPECT_EQ(S_OK, OpenNavigatorOf(format_.get(), dir_.WidePath(name), navigator));
        return navigator;
    }

    TempDir dir_;
    ComRef<IVltFileFormat> format_ = NewFormatObject();
};

// Unsupported methods: E_POINTER when a tested argument is null, E_NOTIMPL otherwise; the
// three no-ops succeed whatever they are given.
struct SlotCase {
    std::string name;
    std::size_t slot;
    std::vector<int> tested;  // argument positions, from 1
    HRESULT answer = E_NOTIMPL;
};

class NavigatorSlotTest : public NavigatorTest, public testing::WithParamInterface<SlotCase> {};

TEST_P(NavigatorSlotTest, AnswersAsTabled) {
    const SlotCase& c = GetParam();
    const ComRef<IVltFileNavigator> navigator = Open("a.bmp", SmallBmp(2, 2));
    ASSERT_TRUE(navigator);
    int dummy = 0;
    std::array<void*, 5> args;
    args.fill(&dummy);
    const auto call = [&] {
        return CallSlot<HRESULT>(navigator.get(), c.slot, args[0], args[1], args[2], args[3],
                                 args[4]);
    };
    EXPECT_EQ(c.answer, call());
    for (int position = 1; position <= 5; ++position) {
        args.fill(&dummy);
        args[static_cast<std::size_t>(position - 1)] = nullptr;
        const bool tested = std::find(c.tested.begin(), c.tested.end(), position) != c.tested.end();
        EXPECT_EQ(tested ? E_POINTER : c.answer, call()) << "argument " << position << " null";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Slots, NavigatorSlotTest,
    testing::Values(SlotCase{"Slot3", 3, {2, 3}}, SlotCase{"Slot4", 4, {}},
                    SlotCase{"Slot5", 5, {1}}, SlotCase{"Slot6", 6, {1, 2, 3, 4, 5}},
                    SlotCase{"Slot7", 7, {3, 4}}, SlotCase{"Slot8", 8, {3, 4}},
                    SlotCase{"Slot11", 11, {1, 2}}, SlotCase{"Slot12", 12, {3}},
                    SlotCase{"Slot13", 13, {2, 3}}, SlotCase{"Slot14", 14, {}},
                    SlotCase{"Slot15", 15, {}, S_OK}, SlotCase{"Slot16", 16, {1}},
                    SlotCase{"Slot17", 17, {4, 5}}, SlotCase{"Slot18", 18, {1}},
                    SlotCase{"Slot19", 19, {}, S_OK}, SlotCase{"Slot20", 20, {}, S_OK},
                    SlotCase{"Slot21", 21, {}}, SlotCase{"Slot22", 22, {}}),
    ParamName());

// What a request holds after GetValues: found, attribute flags, and the value when found.
struct Answer {
    std::int32_t found;
    std::int32_t attributes;
    VARTYPE vt = VT_EMPTY;
    double number = 0;
    const WCHAR* text = nullptr;
};

// An unanswered request that was given a host value must hold it still, bit for bit.
void ExpectAnswer(const Answer& e, RequestArray& requests, std::size_t index) {
    SCOPED_TRACE("request " + std::to_string(index));
    const ValueRequest& r = requests[index];
    EXPECT_EQ(e.found, r.found);
    EXPECT_EQ(e.attributes, r.attributes);
    if (e.vt == VT_EMPTY && requests.HasHostValue(index)) {
        EXPECT_TRUE(requests.HostValueKept(index));
        return;
    }
    ASSERT_EQ(e.vt, r.value.vt);
    switch (e.vt) {
        case VT_I4:
            EXPECT_EQ(static_cast<LONG>(e.number), r.value.lVal);
            break;
        case VT_R8:
            EXPECT_DOUBLE_EQ(e.number, r.value.dblVal);
            break;
        case VT_DATE:
            EXPECT_NEAR(e.number, r.value.date, 1e-7);
            break;
        case VT_BSTR:
            EXPECT_EQ(WideString(e.text), TextOf(r.value));
            break;
        default:
            break;
    }
}

constexpr Answer kUntouched{0, 7};
constexpr Answer kUnanswered{0, 7};

TEST_F(NavigatorTest, AnswersHeaderValuesFoldingOnlyAToZ) {
    const ComRef<IVltFileNavigator> navigator = Open("photo.bmp", SmallBmp(7, 5));
    RequestArray requests({{WTEXT("Width")},
                           {WTEXT("HEIGHT")},
                           {WTEXT("color depth")},
                           {WTEXT("Width"), WTEXT("IMAGE")},
                           {WTEXT("Width"), WTEXT("image")},
                           {WTEXT("Width"), WTEXT("Image ")},
                           {WTEXT("Width"), WTEXT("File")},
                           {WTEXT("Width"), nullptr},
                           {WTEXT("Width ")}});
    requests[6].found = 5;               // another group: found is cleared all the same
    for (std::size_t i = 5; i < 9; ++i)  // the unanswered ones hold values of the host's
        requests.GiveHostValue(i, i % 2 == 0 ? VT_I4 : VT_BSTR);
    ASSERT_EQ(S_OK, GetValuesOf(navigator.get(), requests));
    const Answer expected[] = {{1, 1, VT_I4, 7}, {1, 1, VT_I4, 5}, {1, 1, VT_I4, 24},
                               {1, 1, VT_I4, 7}, {1, 1, VT_I4, 7}, kUnanswered,
                               kUnanswered,      kUnanswered,      kUnanswered};
    for (std::size_t i = 0; i < std::size(expected); ++i)
        ExpectAnswer(expected[i], requests, i);
}

TEST_F(NavigatorTest, EmptyFileAnswersZero) {
    const ComRef<IVltFileNavigator> navigator = Open("empty.png", {});
    RequestArray requests({{WTEXT("Width")}, {WTEXT("Height")}, {WTEXT("Color Depth")}});
    ASSERT_EQ(S_OK, GetValuesOf(navigator.get(), requests));
    for (std::size_t i = 0; i < 3; ++i)
        ExpectAnswer({1, 1, VT_I4, 0}, requests, i);
}

TEST_F(NavigatorTest, StopFlagEndsAfterTheFirstAnsweredRequest) {
    const ComRef<IVltFileNavigator> navigator = Open("photo.bmp", SmallBmp(7, 5));
    RequestArray requests({{WTEXT("Nothing")}, {WTEXT("Width")}, {WTEXT("Height")}});
    requests[0].found = 5;
    requests[2].found = 5;
    requests.GiveHostValue(0, VT_BSTR);
    requests.GiveHostValue(2, VT_I4);
    ASSERT_EQ(S_OK, GetValuesOf(navigator.get(), requests, 1));
    ExpectAnswer(kUnanswered, requests, 0);
    ExpectAnswer({1, 1, VT_I4, 7}, requests, 1);
    ExpectAnswer({5, 7}, requests, 2);  // as the host passed it

    RequestArray all({{WTEXT("Nothing")}, {WTEXT("Width")}, {WTEXT("Height")}});
    ASSERT_EQ(S_OK, GetValuesOf(navigator.get(), all, 0));
    ExpectAnswer({1, 1, VT_I4, 5}, all, 2);
}

TEST_F(NavigatorTest, CountsOfZeroOrLessAndNullArrays) {
    const ComRef<IVltFileNavigator> navigator = Open("photo.bmp", SmallBmp(7, 5));
    RequestArray requests({{WTEXT("Width")}});
    requests.GiveHostValue(0, VT_BSTR);
    for (const std::int32_t count : {0, -1}) {
        EXPECT_EQ(S_OK, CallSlot<HRESULT>(navigator.get(), 10, INT_PTR{0}, 0, INT_PTR{0}, count,
                                          requests.data()));
        EXPECT_EQ(S_OK, CallSlot<HRESULT>(navigator.get(), 9, INT_PTR{0}, INT_PTR{0}, INT_PTR{0},
                                          count, static_cast<ValueRequest*>(nullptr)));
    }
    ExpectAnswer(kUntouched, requests, 0);
    EXPECT_EQ(E_POINTER, CallSlot<HRESULT>(navigator.get(), 10, INT_PTR{0}, 0, INT_PTR{0}, 0,
                                           static_cast<ValueRequest*>(nullptr)));
    EXPECT_EQ(E_POINTER, CallSlot<HRESULT>(navigator.get(), 9, INT_PTR{0}, INT_PTR{0}, INT_PTR{0},
                                           1, static_cast<ValueRequest*>(nullptr)));
}

TEST_F(NavigatorTest, MarkRequestsUnansweredSetsFoundAndAttributesOnly) {
    const ComRef<IVltFileNavigator> navigator = Open("photo.bmp", SmallBmp(7, 5));
    RequestArray requests({{WTEXT("Width")}, {WTEXT("Height")}, {WTEXT("Color Depth")}});
    ASSERT_EQ(S_OK, GetValuesOf(navigator.get(), requests));
    for (std::size_t i = 0; i < 3; ++i)
        requests[i].attributes = 0;
    ASSERT_EQ(S_OK, CallSlot<HRESULT>(navigator.get(), 9, INT_PTR{0}, INT_PTR{0}, INT_PTR{0},
                                      requests.count(), requests.data()));
    const double sizes[] = {7, 5, 24};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(0, requests[i].found);
        EXPECT_EQ(1, requests[i].attributes);
        EXPECT_EQ(VT_I4, requests[i].value.vt);
        EXPECT_EQ(sizes[i], requests[i].value.lVal);
    }
    EXPECT_EQ(WideString(WTEXT("Height")), WideString(requests[1].name));
}

TEST_F(NavigatorTest, AnswersMetadataWithTheRowsAttributes) {
    const ComRef<IVltFileNavigator> navigator = Open("tags.tif", TaggedTiff());
    RequestArray requests({{WTEXT("PropertyTagEquipMake")},
                           {WTEXT("propertytagequipmodel")},
                           {WTEXT("PropertyTagArtist")},
                           {WTEXT("PropertyTagDateTime")},
                           {WTEXT("PropertyTagOrientation")},
                           {WTEXT("PropertyTagXResolution")},
                           {WTEXT("PropertyTagPageNumber")},
                           {WTEXT("PropertyTagExifDTOrig")},
                           {WTEXT("PropertyTagExifWhiteBalance")},
                           {WTEXT("PropertyTagEquipMake")},
                           {WTEXT("Width")}});
    requests.GiveHostValue(6, VT_BSTR);
    requests.GiveHostValue(7, VT_I4);
    requests.GiveHostValue(8, VT_BSTR);
    requests.GiveHostValue(9, VT_BSTR);  // answered: the converter releases it
    ASSERT_EQ(S_OK, GetValuesOf(navigator.get(), requests));
    const Answer expected[] = {
        {1, 0, VT_BSTR, 0, WTEXT("Canon")},
        {1, 0, VT_BSTR, 0, WTEXT("EOS 40D")},
        {1, 0, VT_BSTR, 0, WTEXT("Ann\r\nLee")},
        {1, 0, VT_DATE, OleDate(2021, 7, 14, 9, 5, 33)},
        {1, 1, VT_I4, 6},
        {1, 1, VT_R8, 72},
        {0, 1},       // two values: the converter refuses, the row's attributes are set
        kUnanswered,  // a row whose tag the image lacks
        kUnanswered,  // no row
        {1, 0, VT_BSTR, 0, WTEXT("Canon")},
        {1, 1, VT_I4, 0},  // a TIFF has no header reader
    };
    for (std::size_t i = 0; i < std::size(expected); ++i)
        ExpectAnswer(expected[i], requests, i);
}

// The image is decoded for its metadata once: a changed file is not read again, and neither is
// one that could not be decoded the first time.
TEST_F(NavigatorTest, LoadsPropertyItemsOnce) {
    const ComRef<IVltFileNavigator> loaded = Open("a.tif", TaggedTiff());
    const ComRef<IVltFileNavigator> failed = Open("b.tif", Bytes{'n', 'o', 't'});
    RequestArray first({{WTEXT("PropertyTagEquipMake")}});
    RequestArray none({{WTEXT("PropertyTagEquipMake")}});
    none.GiveHostValue(0, VT_BSTR);
    ASSERT_EQ(S_OK, GetValuesOf(loaded.get(), first));
    ASSERT_EQ(S_OK, GetValuesOf(failed.get(), none));
    ExpectAnswer({1, 0, VT_BSTR, 0, WTEXT("Canon")}, first, 0);
    ExpectAnswer(kUnanswered, none, 0);

    dir_.Write("a.tif", TaggedTiff({.make = "Nikon"}));
    dir_.Write("b.tif", TaggedTiff({.make = "Nikon"}));
    RequestArray again({{WTEXT("PropertyTagEquipMake")}});
    RequestArray stillNone({{WTEXT("PropertyTagEquipMake")}});
    ASSERT_EQ(S_OK, GetValuesOf(loaded.get(), again));
    ASSERT_EQ(S_OK, GetValuesOf(failed.get(), stillNone));
    ExpectAnswer({1, 0, VT_BSTR, 0, WTEXT("Canon")}, again, 0);
    ExpectAnswer(kUnanswered, stillNone, 0);
}

// Whatever request in the group first needs the metadata loads it, once: a name no row carries
// included, and an image without any item too. The file then changes, and what is answered
// shows whether it was read again.
TEST_F(NavigatorTest, TheFirstMetadataRequestLoadsTheItemsForAllLaterOnes) {
    struct Case {
        const char* file;
        Bytes content;
        const WCHAR* first;
        Answer make;  // PropertyTagEquipMake, asked after the file changed
    };
    const Case cases[] = {
        {"unknown.tif", TaggedTiff(), WTEXT("NoSuchName"), {1, 0, VT_BSTR, 0, WTEXT("Canon")}},
        {"none.bmp", SmallBmp(1, 1), WTEXT("PropertyTagEquipModel"), kUnanswered},
        {"twice.tif",
         TaggedTiff({.secondMake = "Nikon"}),
         WTEXT("PropertyTagEquipModel"),
         {1, 0, VT_BSTR, 0, WTEXT("Canon")}},  // of two items with the tag, the first
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const ComRef<IVltFileNavigator> navigator = Open(c.file, c.content);
        RequestArray first({{c.first}});
        ASSERT_EQ(S_OK, GetValuesOf(navigator.get(), first));
        dir_.Write(c.file, TaggedTiff({.make = "Pentax"}));
        RequestArray later({{WTEXT("PropertyTagEquipMake")}, {WTEXT("PropertyTagEquipMake")}});
        ASSERT_EQ(S_OK, GetValuesOf(navigator.get(), later));
        ExpectAnswer(c.make, later, 0);
        ExpectAnswer(c.make, later, 1);
    }
}

TEST_F(NavigatorTest, OutOfMemoryInAConversionEndsTheCallAtThatRequest) {
    const ComRef<IVltFileNavigator> navigator = Open("tags.tif", TaggedTiff());
    RequestArray warmUp({{WTEXT("PropertyTagOrientation")}});  // loads the items
    ASSERT_EQ(S_OK, GetValuesOf(navigator.get(), warmUp));

    RequestArray requests(
        {{WTEXT("Width")}, {WTEXT("PropertyTagEquipMake")}, {WTEXT("PropertyTagEquipModel")}});
    requests[2].found = 5;
    requests.GiveHostValue(1, VT_BSTR);  // where memory runs out
    requests.GiveHostValue(2, VT_I4);
    {
        const ScopedAllocationFault fault(0);
        EXPECT_EQ(E_OUTOFMEMORY, GetValuesOf(navigator.get(), requests));
    }
    ExpectAnswer({1, 1, VT_I4, 0}, requests, 0);
    ExpectAnswer(kUntouched, requests, 1);
    ExpectAnswer({5, 7}, requests, 2);
}

TEST(NeverOpenedNavigatorTest, AnswersZeroSizesAndNoMetadata) {
    const std::int32_t locksBefore = ModuleLockCount();
    {
        ComRef<IVltFileNavigator> navigator;
        ASSERT_EQ(S_OK,
                  CImageFile::CreateInstance(nullptr, IID_IVltFileNavigator, navigator.put()));
        EXPECT_EQ(locksBefore + 1, ModuleLockCount());
        for (int round = 0; round < 2; ++round) {
            RequestArray requests({{WTEXT("Width")}, {WTEXT("PropertyTagEquipMake")}});
            ASSERT_EQ(S_OK, GetValuesOf(navigator.get(), requests));
            ExpectAnswer({1, 1, VT_I4, 0}, requests, 0);
            ExpectAnswer(kUnanswered, requests, 1);
        }
    }
    EXPECT_EQ(locksBefore, ModuleLockCount());
}

TEST_F(NavigatorTest, EveryInterfaceLeadsToTheSameIdentity) {
    const ComRef<IVltFileNavigator> navigator = Open("photo.bmp", SmallBmp(7, 5));
    ComRef<IUnknown> identity;
    ASSERT_EQ(S_OK, QueryInterfaceOf(navigator.get(), IID_IUnknown, identity.put()));
    ComRef<IUnknown> imageFile;
    ASSERT_EQ(S_OK, QueryInterfaceOf(navigator.get(), IID_IImageFile, imageFile.put()));
    EXPECT_EQ(identity.get(), imageFile.get());
    ComRef<IUnknown> again;
    ASSERT_EQ(S_OK, QueryInterfaceOf(imageFile.get(), IID_IUnknown, again.put()));
    EXPECT_EQ(identity.get(), again.get());
    ComRef<IUnknown> nav;
    ASSERT_EQ(S_OK, QueryInterfaceOf(imageFile.get(), IID_IVltFileNavigator, nav.put()));
    EXPECT_EQ(static_cast<void*>(navigator.get()), static_cast<void*>(nav.get()));

    void* none = &none;
    EXPECT_EQ(E_NOINTERFACE, QueryInterfaceOf(navigator.get(), IID_IVltFileFormat, &none));
    EXPECT_EQ(nullptr, none);
    EXPECT_EQ(E_NOINTERFACE, QueryInterfaceOf(navigator.get(), IID_IMarshal, &none));
    EXPECT_EQ(E_POINTER, QueryInterfaceOf(navigator.get(), IID_IUnknown, nullptr));
    EXPECT_EQ(5u, RefCountOf(navigator.get()));  // navigator, identity, imageFile, again, nav
}

TEST(AggregatedNavigatorTest, ForwardsToTheOuterObjectAndLivesByItsWrapper) {
    const std::int32_t locksBefore = ModuleLockCount();
    TestOuter outer;
    ComRef<IUnknown> inner;
    ASSERT_EQ(S_OK, CImageFile::CreateInstance(outer.unknown(), IID_IUnknown, inner.put()));
    outer.inner = inner.get();
    EXPECT_EQ(locksBefore + 1, ModuleLockCount());
    EXPECT_EQ(1u, outer.count);

    void* navigator = nullptr;
    ASSERT_EQ(S_OK, QueryInterfaceOf(inner.get(), IID_IVltFileNavigator, &navigator));
    EXPECT_EQ(2u, outer.count) << "the navigator's reference is the outer object's";
    void* identity = nullptr;
    ASSERT_EQ(S_OK, QueryInterfaceOf(navigator, IID_IUnknown, &identity));
    EXPECT_EQ(static_cast<void*>(outer.unknown()), identity);
    EXPECT_EQ(3u, outer.count);
    ReleaseOf(identity);
    RequestArray requests({{WTEXT("Width")}});
    ASSERT_EQ(S_OK, GetValuesOf(static_cast<IVltFileNavigator*>(navigator), requests));
    EXPECT_EQ(1, requests[0].found);
    ReleaseOf(navigator);
    EXPECT_EQ(1u, outer.count);
    EXPECT_EQ(1u, RefCountOf(inner.get()));

    inner.reset();
    EXPECT_EQ(locksBefore, ModuleLockCount());
}

}  // namespace
}  // namespace pixelfold::test
