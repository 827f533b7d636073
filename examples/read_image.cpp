// examples/read_image.cpp: the smallest complete host, on the header-only layer
// pixelfold/host.hpp: loads the plug-in, opens one image and prints its width and the date and
// time it was saved.
//
//     read_image /usr/lib/pixelfold/libpixelfold.so photo.jpg
//     Width: 4000
//     PropertyTagDateTime: 2021-07-14 09:05:33
#include <cstdio>

#include "pixelfold/host.hpp"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: read_image PLUGIN-LIBRARY IMAGE\n");
        return 2;
    }
    const pixelfold::Plugin plugin(argv[1]);
    if (!plugin.ready()) {
        std::fprintf(stderr, "%s\n", plugin.error().c_str());
        return 2;
    }
    const pixelfold::Image image = plugin.Open(argv[2]);
    if (!image.opened()) {
        std::fprintf(stderr, "cannot open %s: 0x%08X\n", argv[2],
                     static_cast<unsigned>(image.result()));
        return 1;
    }
    const pixelfold::Answers answers = image.Ask({"Width", "PropertyTagDateTime"});
    if (FAILED(answers.result)) {
        std::fprintf(stderr, "GetValues failed: 0x%08X\n", static_cast<unsigned>(answers.result));
        return 1;
    }
    const pixelfold::Answer& width = answers.values[0];
    const pixelfold::Answer& saved = answers.values[1];
    std::printf("Width: %d\n", static_cast<int>(width.integer));
    if (saved.type == pixelfold::Answer::Type::kDate) {
        const pixelfold::CalendarDate& d = saved.date;
        std::printf("PropertyTagDateTime: %04d-%02d-%02d %02d:%02d:%02d\n", d.year, d.month, d.day,
                    d.hour, d.minute, d.second);
    } else if (saved.type == pixelfold::Answer::Type::kText) {
        std::printf("PropertyTagDateTime: %s\n", saved.text.c_str());  // text that is no date
    } else {
        std::printf("PropertyTagDateTime: not answered\n");
    }
    return 0;
}
