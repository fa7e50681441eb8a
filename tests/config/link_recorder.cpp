// Stands in for the browser and the mail program: appends the address it was asked to open to
// opened_links.txt beside itself, one line per start.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string file(path);
    file = file.substr(0, file.find_last_of('\\') + 1) + "opened_links.txt";
    FILE* out = std::fopen(file.c_str(), "ab");
    if (!out)
        return 1;
    for (int i = 1; i < argc; ++i)
        std::fprintf(out, i == 1 ? "%s" : " %s", argv[i]);
    std::fprintf(out, "\n");
    std::fclose(out);
    return 0;
}
