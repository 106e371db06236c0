// outlook_sim: plays Outlook's part for add-ins. Usage: outlook_sim <scenario file>, or the
// steps on standard input. The exit code is the number of failed steps (0: all passed).
#include <fstream>
#include <iostream>

#include "addin/com/Handles.h"
#include "platform/win32/WideText.h"
#include "tools/outlook_sim/Scenario.h"

int main(int argc, char** argv) {
    const kestova::com::TApartment apartment;
    if (FAILED(apartment.Result())) {
        std::cerr << "outlook_sim: COM cannot be initialised" << std::endl;
        return 2;
    }
    const auto application = kestova::com::Make<kestova::sim::TSimApplication>();
    if (argc < 2) return kestova::sim::TScenario(*application.Get(), std::cout).Run(std::cin);
    const std::string path = argv[1];
    const std::string folder = path.substr(0, path.find_last_of("\\/") + 1);
    kestova::sim::TScenario scenario(*application.Get(), std::cout, kestova::win32::Widen(folder));
    std::ifstream file(path);
    if (!file) {
        std::cerr << "outlook_sim: cannot open " << argv[1] << std::endl;
        return 2;
    }
    return scenario.Run(file);
}
