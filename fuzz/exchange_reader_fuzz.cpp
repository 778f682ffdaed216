// The exchange-file reader on arbitrary bytes, read from a real file as the tool reads it.
//
// Besides the sanitizers: the model must keep its invariants (model_check.hpp), and reading the
// file must give the same model as applying its lines one by one, split the plain way (at LF,
// CR bytes dropped, a line starting with Ctrl-Z ending the file). That catches a line lost or
// doubled where the reader's blocks meet. Reading the same bytes from memory must give the same
// model as reading the file.
#include <string>
#include <string_view>

#include "exchange/command_writer.hpp"
#include "exchange/drawing_model.hpp"
#include "exchange/exchange_reader.hpp"
#include "exchange/exchange_reader_internal.hpp"
#include "fuzz_support.hpp"
#include "model_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::filesystem::path path = Fuzz::ScratchFolder() / "JWC_TEMP.TXT";
    Fuzz::WriteWholeFile(path, bytes);

    RidEdaza::DrawingModel model;
    RidEdaza::CommandBuffer buffer;
    RidEdaza::InitDrawingModel(model, buffer);
    if (!RidEdaza::ReadExchangeFile(model, path)) Fuzz::Fail("an existing file was not read");
    const std::string digest = Fuzz::ModelDigest(model);  // checks the invariants on the way
    if (digest != Fuzz::DigestReadLineByLine(bytes)) {
        Fuzz::Fail("reading the file differs from applying its lines one by one");
    }

    RidEdaza::DrawingModel fromMemory;
    RidEdaza::InitDrawingModel(fromMemory, buffer);
    RidEdaza::ReadExchangeText(fromMemory, bytes);
    if (Fuzz::ModelDigest(fromMemory) != digest) {
        Fuzz::Fail("reading the bytes from memory differs from reading the file");
    }
    return 0;
}
