#include "transfer/InternetErrorText.h"

#include "platform/network/InternetErrors.h"

QString InternetErrorText(int Code)
{
    return platform::internetErrorMessage(Code).left(255);
}
