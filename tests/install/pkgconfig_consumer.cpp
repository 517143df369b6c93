// Built with the flags `pkg-config --cflags --libs BVParse` gives for a staged install.
#include <cstdio>
#include <string>

#include "BVParse/Em_Base64.h"

int main() {
    const std::string text = Brevan2011::BVParse::Em_Base64::base64_decode("dXNlcjpwYXNz");
    if (text != "user:pass") {
        std::fprintf(stderr, "decoded \"%s\"\n", text.c_str());
        return 1;
    }
    std::printf("pkg-config consumer ok\n");
    return 0;
}
