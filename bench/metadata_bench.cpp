// bench/metadata_bench.cpp: all property items of a camera-like JPEG (about 30 KB of EXIF with
// a thumbnail, then megabytes of scan data), next to two EXIF libraries reading the same file
// when they are installed.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>

#include "metadata/builtin_property_items.h"
#include "support/camera_jpeg.h"
#include "support/temp_dir.h"
#include "support/wide_text.h"

#if defined(PIXELFOLD_HAVE_LIBEXIF)
#include <libexif/exif-data.h>
#endif
#if defined(PIXELFOLD_HAVE_EXIV2)
#include <exiv2/exiv2.hpp>
#endif

namespace pixelfold {
namespace {

void BuiltinItems(benchmark::State& state, const WideString& path) {
    for (auto _ : state) {
        PropertyItemBlock block;
        if (ReadBuiltinPropertyItems(path.c_str(), block) != S_OK) state.SkipWithError("failed");
        benchmark::DoNotOptimize(block.count);
    }
}

#if defined(PIXELFOLD_HAVE_LIBEXIF)
void Libexif(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        ExifData* data = exif_data_new_from_file(path.c_str());
        if (data == nullptr) state.SkipWithError("libexif found no EXIF");
        benchmark::DoNotOptimize(data);
        if (data != nullptr) exif_data_unref(data);
    }
}
#endif

#if defined(PIXELFOLD_HAVE_EXIV2)
void Exiv2(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        auto image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        benchmark::DoNotOptimize(image->exifData().count());
    }
}
#endif

// One group of three benchmarks per file: the synthetic camera file, and real camera files
// of the corpus when it is present.
void RegisterFile(const std::string& label, const std::filesystem::path& file) {
    const std::string narrow = file.string();
    const WideString wide = test::WideFromPath(file);
    benchmark::RegisterBenchmark(("BuiltinItems/" + label).c_str(), BuiltinItems, wide);
#if defined(PIXELFOLD_HAVE_LIBEXIF)
    benchmark::RegisterBenchmark(("Libexif/" + label).c_str(), Libexif, narrow);
#endif
#if defined(PIXELFOLD_HAVE_EXIV2)
    benchmark::RegisterBenchmark(("Exiv2/" + label).c_str(), Exiv2, narrow);
#endif
}

}  // namespace
}  // namespace pixelfold

int main(int argc, char** argv) {
    using pixelfold::RegisterFile;
    const pixelfold::test::TempDir dir;
    dir.Write("camera.jpg", pixelfold::test::MakeCameraJpeg().bytes);
    RegisterFile("synthetic", dir.path() / "camera.jpg");
    const std::filesystem::path corpus = PIXELFOLD_CORPUS_DIR;
    for (const char* name :
         {"metadata-extractor-images/jpg/Olympus PEN E-P3.jpg",
          "metadata-extractor-images/jpg/Casio EX-S1.jpg", "exif-samples/jpg/gps/DSCN0010.jpg",
          "exif-samples/jpg/Canon_40D.jpg"}) {
        if (std::filesystem::exists(corpus / name))
            RegisterFile(std::filesystem::path(name).stem().string(), corpus / name);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
