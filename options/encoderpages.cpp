#include "options/encoderpages.h"

#include "options/flacpage.h"
#include "options/m4apage.h"
#include "options/opuspage.h"

std::vector<EncoderPage *> EncoderPages::create(OptionsContext &context,
                                                const QList<QLabel *> &pictures)
{
    return {new FlacPage(context, pictures.value(0)), new OpusPage(context, pictures.value(1)),
            new M4aPage(context, pictures.value(2))};
}
