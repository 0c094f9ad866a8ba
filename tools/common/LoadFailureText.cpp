#include "common/LoadFailureText.h"

#include "common/ErrorText.h"
#include "common/Shown.h"

std::string LoadFailureText(const LoadFailure& failure)
{
    const std::string file = failure.path ? Shown(failure.path, ShowAs::Path) : "the description";
    const std::string reason = ErrorMessage(failure.systemError);
    switch (failure.stage) {
        case LoadStage::Open:
            return file + ": " + reason;
        case LoadStage::Read:
            return file + " cannot be read: " + reason;
        case LoadStage::Memory:
            return file + " does not fit in memory: " + reason;
        case LoadStage::None:
            break;
    }
    return file + ": " + reason;
}
