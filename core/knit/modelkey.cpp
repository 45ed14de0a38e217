#include "knit/modelkey.h"

#include "base/bytestream.h"
#include "knit/documentblock.h"

namespace warplon {

QByteArray ModelShapeBytes(const TexLayer &document)
{
    TexLayer shape = document;
    const Yarn plain;
    for (Yarn &yarn : shape.yarns) {
        yarn.name = yarn.code = yarn.extraText = yarn.maker = yarn.remark = QByteArray();
        yarn.yarnText1 = yarn.yarnText2 = yarn.yarnImage = QByteArray();
        yarn.yarnNumber = 0;
        yarn.yarnValue = 0.0;
        yarn.gloss = plain.gloss;
        yarn.translucency = plain.translucency;
        yarn.color = plain.color;
    }
    ByteWriter out;
    WriteDocument(out, shape);
    return out.data();
}

} // namespace warplon
