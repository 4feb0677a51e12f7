// Size, rate and time texts for any numbers: total, and of the documented shapes.
#include "fuzz/targets/FuzzInput.h"
#include "transfer/ProgressTexts.h"

#include <QRegularExpression>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    FuzzInput input(Data, Size);
    const auto bytes = input.Take<std::int64_t>();
    const auto elapsed = input.Take<std::uint32_t>();
    const auto total = input.Take<std::int64_t>();
    const auto done = input.Take<std::int64_t>();
    const auto value = input.Take<double>();

    static const QRegularExpression sizeShape(QStringLiteral("^(-?\\d+ bytes|\\d+[.,]\\d\\d [KM]b)$"));
    static const QRegularExpression timeShape(QStringLiteral("^(\\d+ sec\\.|\\d+ minutes\\.|\\d+h \\d+)$"));
    if (!sizeShape.match(SizeText(bytes)).hasMatch())
        std::abort();
    if (!RateText(bytes).endsWith(QStringLiteral("/sec")))
        std::abort();
    if (!timeShape.match(TimeText(elapsed, QStringLiteral("sec"), QStringLiteral("minutes"), total, done)).hasMatch())
        std::abort();
    RoundHalfEven(value);
    return 0;
}
