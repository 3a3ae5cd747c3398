#include "app/korvel_application.h"
#include "app/skinned_message_boxes.h"

int main(int argc, char** argv)
{
    korvel::KorvelApplication application(argc, argv);
    korvel::SkinnedMessageBoxes boxes;
    application.setFailureBoxes(&boxes);
    return application.exec();
}
