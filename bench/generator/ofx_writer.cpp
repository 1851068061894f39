#include "ofx_writer.h"

namespace scrivane::gen {

namespace {
constexpr std::size_t flushSize = 1 << 20;
}

OfxWriter::OfxWriter(std::FILE* out, Form form)
    : out_(out)
    , form_(form)
{
    buffer_.reserve(flushSize + 4096);
}

OfxWriter::~OfxWriter()
{
    flush();
}

void OfxWriter::flush()
{
    if (!buffer_.empty())
        std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
    buffer_.clear();
}

void OfxWriter::header()
{
    if (form_ == Form::Xml) {
        buffer_ += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
                   "<?OFX OFXHEADER=\"200\" VERSION=\"211\" SECURITY=\"NONE\" OLDFILEUID=\"NONE\" "
                   "NEWFILEUID=\"NONE\"?>\n";
        return;
    }
    buffer_ += "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\n"
               "CHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n";
}

void OfxWriter::startElement()
{
    if (form_ == Form::Xml)
        buffer_.append(static_cast<std::size_t>(depth_) * 2, ' ');
}

void OfxWriter::endElement()
{
    if (form_ == Form::Xml) {
        buffer_ += '\n';
    } else if (packed_) {
        lineOpen_ = true;
    } else {
        buffer_ += "\r\n";
    }
    if (buffer_.size() >= flushSize)
        flush();
}

void OfxWriter::open(std::string_view tag)
{
    startElement();
    buffer_ += '<';
    buffer_ += tag;
    buffer_ += '>';
    endElement();
    ++depth_;
}

void OfxWriter::close(std::string_view tag)
{
    --depth_;
    startElement();
    buffer_ += "</";
    buffer_ += tag;
    buffer_ += '>';
    endElement();
}

void OfxWriter::leaf(std::string_view tag, std::string_view value)
{
    startElement();
    buffer_ += '<';
    buffer_ += tag;
    buffer_ += '>';
    text(value, true);
    if (form_ == Form::Xml) {
        buffer_ += "</";
        buffer_ += tag;
        buffer_ += '>';
    }
    endElement();
}

void OfxWriter::cdataLeaf(std::string_view tag, std::string_view value)
{
    if (form_ != Form::Xml) {
        leaf(tag, value);
        return;
    }
    startElement();
    buffer_ += '<';
    buffer_ += tag;
    buffer_ += "><![CDATA[";
    text(value, false);
    buffer_ += "]]></";
    buffer_ += tag;
    buffer_ += '>';
    endElement();
}

void OfxWriter::setPacked(bool packed)
{
    if (packed_ && !packed)
        lineBreak();
    packed_ = packed;
}

void OfxWriter::lineBreak()
{
    if (form_ == Form::Sgml && lineOpen_) {
        buffer_ += "\r\n";
        lineOpen_ = false;
    }
}

void OfxWriter::text(std::string_view value, bool escape)
{
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (escape && c == '&') {
            buffer_ += "&amp;";
        } else if (escape && c == '<') {
            buffer_ += "&lt;";
        } else if (escape && c == '>') {
            buffer_ += "&gt;";
        } else if (form_ == Form::Sgml && (c == 0xC2 || c == 0xC3) && i + 1 < value.size()) {
            // The generator's own text holds only Latin-1 letters outside ASCII,
            // which Windows-1252 keeps at the same code.
            const auto next = static_cast<unsigned char>(value[++i]);
            buffer_ += static_cast<char>(((c & 0x03) << 6) | (next & 0x3F));
        } else {
            buffer_ += static_cast<char>(c);
        }
    }
}

} // namespace scrivane::gen
