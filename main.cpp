#include "app/application.h"

int main(int argc, char** argv)
{
    return vikora::runApplication(argc, argv);
}
