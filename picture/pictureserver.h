#pragma once

// The picture helper's side: run by the program started with PictureHelper::helperArgument. It
// loads what decoding and drawing need (image plugins, ImageMagick's coders, fonts), shuts itself
// in (HelperSandbox), then answers requests on its channel until the application goes.
namespace PictureServer {

int run(int argc, char** argv);

} // namespace PictureServer
