// The OpenAPI document and the routes ecrd serves name the same operations.
#include "ecr/files/InputFile.h"
#include "ecr/files/JsonReader.h"
#include "service/api/HttpApi.h"

#include <gtest/gtest.h>

#include <set>

TEST(OpenApiDocument, NamesExactlyTheRoutesServed)
{
    std::string text;
    FileFault fault;
    ASSERT_TRUE(InputFile::ReadAll(OPENAPI_DOCUMENT, 1 << 20, text, fault));
    JsonValue document;
    std::string error;
    JsonReader::Limits limits;
    limits.decimals = true;  // its examples hold amounts as JSON numbers
    ASSERT_TRUE(JsonReader::Parse(text, document, error, limits)) << error;
    std::set<std::string> documented;
    for (const auto& [path, operations] : document.Find("paths")->Members()) {
        for (const auto& [method, operation] : operations.Members()) {
            std::string upper;
            for (const char c : method)
                upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            documented.insert(upper + " " + path);
        }
    }
    std::set<std::string> served;
    for (const HttpApi::Route& route : HttpApi::Routes())
        served.insert(route.method + " " + route.path);
    EXPECT_EQ(documented, served);
}
