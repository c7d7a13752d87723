// The one application object; the framework's entry point runs it.

#include "ui/BiosPatch.h"

CBiosPatchApp theApp;

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
