#include "exchange/drawing_model.hpp"

#include "exchange/command_writer.hpp"

namespace RidEdaza {

void InitDrawingModel(DrawingModel& model, CommandBuffer& commands)
{
    // Moving fresh values in hands the old storage to temporaries that free it at once
    // (clear() would keep the capacity): emptying and releasing are one step.
    model = DrawingModel{};
    commands = CommandBuffer{};
}

void ReleaseDrawingModel(DrawingModel& model, CommandBuffer& commands)
{
    InitDrawingModel(model, commands);
}

}  // namespace RidEdaza
