"""ecrd's OpenAPI document read for checking: its schemas turned into JSON
Schema (draft 4, which OpenAPI 3.0's schema objects follow but for
`nullable` and a few keywords of their own), the schema a request body or
an answer must fit, and every example the document holds with the schema
it belongs to. Used by scripts/check-openapi and by the test that runs
README's examples against ecrd (tests/service/readme_examples.py)."""
import re

import jsonschema

METHODS = ("get", "put", "post", "delete", "options", "head", "patch", "trace")

# Debian's python3-jsonschema checks "date-time" only with a further package.
_DATE_TIME = re.compile(r"^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}(\.\d+)?(Z|[+-]\d{2}:\d{2})$")
FORMATS = jsonschema.FormatChecker()


@FORMATS.checks("date-time")
def _is_date_time(value):
    return not isinstance(value, str) or _DATE_TIME.match(value) is not None


class Contract:
    def __init__(self, document):
        self.document = document
        self._converted = {}

    def resolve(self, node):
        """The object a local "$ref" leads to (followed until none is left)."""
        seen = set()
        while isinstance(node, dict) and "$ref" in node:
            ref = node["$ref"]
            if not ref.startswith("#/") or ref in seen:
                raise ValueError(f"{ref}: not a reference into this document, or a loop")
            seen.add(ref)
            node = self.document
            for part in ref[2:].split("/"):
                node = node[part.replace("~1", "/").replace("~0", "~")]
        return node

    def json_schema(self, schema):
        """An OpenAPI 3.0 schema object as a draft 4 JSON schema, references
        resolved: "nullable" becomes "or null"; what only describes goes."""
        if isinstance(schema, bool):
            return schema
        if "$ref" in schema:
            ref = schema["$ref"]
            if ref not in self._converted:
                self._converted[ref] = {}  # a schema that contains itself ends here
                self._converted[ref] = self.json_schema(self.resolve(schema))
            return self._converted[ref]
        out = {}
        for key, value in schema.items():
            if key in ("properties",):
                out[key] = {name: self.json_schema(sub) for name, sub in value.items()}
            elif key in ("items", "additionalProperties", "not"):
                out[key] = self.json_schema(value)
            elif key in ("allOf", "anyOf", "oneOf"):
                out[key] = [self.json_schema(sub) for sub in value]
            elif key in ("nullable", "discriminator", "example", "readOnly", "writeOnly", "xml", "externalDocs",
                         "deprecated"):
                continue
            else:
                out[key] = value
        if schema.get("nullable"):
            return {"anyOf": [out, {"type": "null"}]}
        return out

    def errors(self, schema, value):
        """Why value does not fit the OpenAPI schema, one line each."""
        validator = jsonschema.Draft4Validator(self.json_schema(schema), format_checker=FORMATS)
        found = []
        for error in sorted(validator.iter_errors(value), key=lambda e: list(e.absolute_path)):
            # Of a oneOf, the branch that came closest says more than "is not valid under any".
            best = jsonschema.exceptions.best_match([error])
            at = "/".join(str(p) for p in best.absolute_path)
            found.append(f"{best.message}" + (f" (at /{at})" if at else ""))
        return found

    def operations(self):
        """(path, method, operation) for every operation of the document."""
        for path, item in self.document.get("paths", {}).items():
            for method in METHODS:
                if method in item:
                    yield path, method, item[method]

    def find_operation(self, method, path):
        """The path template and operation that serve METHOD on a concrete
        path (/registers/sim/status), or (None, None)."""
        for template, item in self.document.get("paths", {}).items():
            pattern = "^" + re.sub(r"\\\{[^}]+\\\}", "[^/]+", re.escape(template)) + "$"
            if re.match(pattern, path) and method.lower() in item:
                return template, item[method.lower()]
        return None, None

    def answer_schema(self, operation, status, media_type):
        """The schema an answer of this status and media type must fit;
        None when the operation does not document that answer."""
        responses = operation.get("responses", {})
        response = responses.get(str(status)) or responses.get(f"{str(status)[0]}XX") or responses.get("default")
        if response is None:
            return None
        content = self.resolve(response).get("content", {})
        media = content.get(media_type)
        return None if media is None else media.get("schema", {})

    def examples(self):
        """Every example with the schema it belongs to: (where, schema, value)
        for the examples of parameters, request bodies and answers (a
        component example where it is referred to), and for the example of
        every named schema. Also (where, None, None) for a request body or
        an answer that has no example, and for a component example that no
        part of the document refers to, which can therefore not be checked."""
        used = set()

        def of_media(where, media):
            schema = media.get("schema", {})
            found = False
            if "example" in media:
                found = True
                yield f"{where}/example", schema, media["example"]
            for name, example in media.get("examples", {}).items():
                found = True
                if "$ref" in example:
                    used.add(example["$ref"])
                example = self.resolve(example)
                if "value" not in example:
                    yield f"{where}/examples/{name}: no value to check (externalValue?)", None, None
                    continue
                yield f"{where}/examples/{name}", schema, example["value"]
            if not found:
                yield f"{where}: no example", None, None

        for path, method, operation in self.operations():
            at = f"{method.upper()} {path}"
            parameters = self.document["paths"][path].get("parameters", []) + operation.get("parameters", [])
            for parameter in (self.resolve(p) for p in parameters):
                if "example" in parameter:
                    yield f"{at} parameter {parameter['name']}", parameter.get("schema", {}), parameter["example"]
            if "requestBody" in operation:
                for media_type, media in self.resolve(operation["requestBody"]).get("content", {}).items():
                    yield from of_media(f"{at} request {media_type}", media)
            for status, response in operation.get("responses", {}).items():
                for media_type, media in self.resolve(response).get("content", {}).items():
                    yield from of_media(f"{at} answer {status} {media_type}", media)
        for name, schema in self.document.get("components", {}).get("schemas", {}).items():
            if "example" in schema:
                yield f"schema {name}", schema, schema["example"]
        for name in self.document.get("components", {}).get("examples", {}):
            if f"#/components/examples/{name}" not in used:
                yield f"example {name}: used by no request or answer, so checked against no schema", None, None
