#include "CliContext.h"

#include "report/JsonWriter.h"
#include "terminal/TerminalText.h"

namespace oskel::cli {

void TellError(CliContext& context, const std::string& text)
{
    context.errors.push_back(text);
    if (context.errJsonLines)
        context.err << JsonObject().Add("event", "error").Add("message", text).Text() << '\n';
    else
        context.err << kProgramName << ": " << text << '\n';
    context.err.flush();
}

} // namespace oskel::cli
